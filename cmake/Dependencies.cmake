# Every outside package the build asks for, in one place: the top-level CMakeLists.txt includes it, and so
# does the probe that scripts/deps.sh configures after installing packages (cmake/probe), so that a package
# missing on a fresh machine is named before the real configure fails half-way.
find_package(Qt6 6.4 REQUIRED COMPONENTS Core Gui Widgets Sql Xml PrintSupport Charts Test)
find_package(GTest REQUIRED)
find_package(Python3 REQUIRED COMPONENTS Interpreter)
find_library(XLSXWRITER_LIBRARY xlsxwriter REQUIRED)
find_path(XLSXWRITER_INCLUDE_DIR xlsxwriter.h REQUIRED)
