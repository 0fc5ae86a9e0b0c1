# Every outside package the build asks for, in one place: the top-level CMakeLists.txt includes it, and so
# does the probe that scripts/deps.sh configures after installing packages (cmake/probe), so that a package
# missing on a fresh machine is named before the real configure fails half-way.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Sql Xml PrintSupport Charts Test)
find_package(GTest REQUIRED)
# The tests read spreadsheets with Debian's python3-openpyxl: the system interpreter, not one first on PATH.
if(NOT Python3_EXECUTABLE AND EXISTS /usr/bin/python3)
  set(Python3_EXECUTABLE /usr/bin/python3)
endif()
find_package(Python3 REQUIRED COMPONENTS Interpreter)
# The spreadsheet export writes its own ZIP container and deflates it with zlib.
find_package(ZLIB REQUIRED)
# The demo generator streams its rows into PostgreSQL with COPY, which Qt's driver does not offer: it
# talks to the driver's libpq connection directly (client library and headers only, no server headers).
find_package(PostgreSQL REQUIRED)
