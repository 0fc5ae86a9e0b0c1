# What an installed system gets beside the programs and the plug-in (each target installs itself): the man
# pages, the desktop entry and its icon; and the Debian package CPack builds from the same install rules
# (cpack -G DEB in the build directory, or the package target).
#
# The programs link the module's own libraries statically and find the plug-in relative to themselves
# (apps/vnmrtgen looks in ../lib), so the installed tree needs no RPATH: CMake's default, which drops the
# build-tree RPATH on install, is what Debian wants too.
include(GNUInstallDirs)

set(VN_PACKAGING_DIR ${PROJECT_SOURCE_DIR}/packaging)
set(VN_MAN_PAGES vnmrtgen vnmrtgen-report vnmrtgen-demo)

# Debian ships man pages compressed with gzip -9, and -n keeps the name and time of the source out of the
# archive so that two builds of the same tree give the same bytes. CPack does not compress them itself.
find_program(VN_GZIP gzip REQUIRED)
set(VN_MAN_OUTPUTS)
foreach(page IN LISTS VN_MAN_PAGES)
  set(source ${VN_PACKAGING_DIR}/man/${page}.1)
  set(output ${CMAKE_BINARY_DIR}/man/${page}.1.gz)
  add_custom_command(OUTPUT ${output}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${CMAKE_BINARY_DIR}/man
    COMMAND ${VN_GZIP} -9 -n -c ${source} > ${output}
    DEPENDS ${source}
    VERBATIM)
  list(APPEND VN_MAN_OUTPUTS ${output})
endforeach()
add_custom_target(vn_man_pages ALL DEPENDS ${VN_MAN_OUTPUTS})
install(FILES ${VN_MAN_OUTPUTS} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

install(FILES ${VN_PACKAGING_DIR}/vnmrtgen.desktop DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/applications)
install(FILES ${VN_PACKAGING_DIR}/vnmrtgen.svg DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/icons/hicolor/scalable/apps)

# The maintainer is a cache entry so that a release build can name the real one without editing this file.
set(VNMRTGEN_PACKAGE_MAINTAINER "Equipo VNmRtgen <vnmrtgen@example.org>" CACHE STRING
    "Maintainer line of the Debian package")

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME vnmrtgen)
set(CPACK_PACKAGE_VENDOR "VNmRtgen")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_CONTACT ${VNMRTGEN_PACKAGE_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Reportes gerenciales de nómina / payroll management reports")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${VNMRTGEN_PACKAGE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_SECTION office)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
# The extended description under the synopsis (CPack puts the summary above it and indents each line).
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "El módulo de Reportes Gerenciales de una suite de nómina y recursos
humanos: once informes (conciliación de nómina y contabilidad, requisiciones,
ingresos y retiros, novedades, nómina por centro de costo, parafiscales,
vacaciones, gestión humana y otros) con vista previa, impresión y exportación
a PDF y XLSX, sobre una base SQLite o PostgreSQL que solo lee.
.
Management reports of a payroll and human-resources suite: a desktop program,
a batch command, a demo-database generator and the plug-in library.")

# dpkg-shlibdeps finds what the programs link; it cannot see what Qt loads by name at run time, nor the fonts
# the layouts are measured with, so those are named here: the SQLite and PostgreSQL drivers, and the
# metric-compatible fonts that stand in for Arial and MS Sans Serif so that pages break the same on every
# machine. The platform plug-ins (offscreen, xcb) ship in libqt6gui6, which every program links, so
# dpkg-shlibdeps names it already, with its version.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "libqt6sql6-sqlite, libqt6sql6-psql, fonts-liberation2, fonts-dejavu-core")
# SQL Server is reached through ODBC (FreeTDS): built in, but only some sites need it.
set(CPACK_DEBIAN_PACKAGE_SUGGESTS "libqt6sql6-odbc, tdsodbc")

include(CPack)
