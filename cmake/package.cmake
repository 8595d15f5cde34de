# `make package` (cpack): a Debian package of what `make install` installs, under /usr: the
# program folder /usr/lib/mbmzembrel, the launcher /usr/bin/mbmzembrel, the desktop entry,
# icons, MIME type and AppStream metadata, and the files Debian asks of every package (the
# copyright file, the changelog, a man page for the launcher), which `make install` installs
# too. `make install` itself keeps its own prefix (/usr/local by default).
if(NOT (UNIX AND NOT APPLE))
  return()
endif()

set(ZEMBREL_PACKAGE_MAINTAINER "MBM Zembrel project <mbmzembrel@example.org>" CACHE STRING
    "The Maintainer field of the Debian package: a name and a mail address")

# Debian wants the changelog and the man pages compressed, without a time stamp in them.
set(package_data ${PROJECT_SOURCE_DIR}/data)
set(package_out ${CMAKE_BINARY_DIR}/package)
find_program(ZEMBREL_GZIP gzip REQUIRED)
set(compressed "")
foreach(pair "package/changelog=changelog.gz" "mbmzembrel.1=mbmzembrel.1.gz")
  string(REPLACE "=" ";" pair "${pair}")
  list(GET pair 0 from)
  list(GET pair 1 to)
  add_custom_command(OUTPUT ${package_out}/${to}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${package_out}
    COMMAND ${ZEMBREL_GZIP} -9nc ${package_data}/${from} > ${package_out}/${to}
    DEPENDS ${package_data}/${from} VERBATIM)
  list(APPEND compressed ${package_out}/${to})
endforeach()
add_custom_target(package_docs ALL DEPENDS ${compressed})

set(doc_dir ${CMAKE_INSTALL_DATADIR}/doc/mbmzembrel)
install(FILES ${package_data}/package/copyright ${package_out}/changelog.gz DESTINATION ${doc_dir})
install(FILES ${package_out}/mbmzembrel.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)

set(CPACK_GENERATOR DEB)
set(CPACK_PACKAGE_NAME mbmzembrel)
set(CPACK_PACKAGE_VENDOR "MBM Zembrel project")
set(CPACK_PACKAGE_CONTACT "${ZEMBREL_PACKAGE_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "editor for Symbian multi-bitmap archives (.mbm)")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
    "MBM Zembrel puts BMP, JPEG, GIF, PNG and other pictures together into Symbian
multi-bitmap archives (.mbm), each picture with its own colour depth, and takes
existing archives apart again. It ships its own converter, which writes the
genuine format that phones load, as a file store or ROM image and with its C++
header when asked.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION graphics)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# The install rules run with DESTDIR set and the prefix /usr, so the launcher's link and the
# desktop entry name /usr/bin/mbmzembrel, and the desktop caches are left to dpkg's triggers.
set(CPACK_INSTALL_PREFIX /usr)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_SET_DESTDIR ON)
set(CPACK_STRIP_FILES ON)
# The Qt libraries come from dpkg-shlibdeps. Qt loads its plugins at run time, where
# dpkg-shlibdeps cannot see them: the platform plugin for X11 is part of libqt6gui6 (found
# through the link), the readers of TIFF, WebP and the other picture formats beyond BMP,
# JPEG, GIF and PNG are qt6-image-formats-plugins.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_DEPENDS "qt6-image-formats-plugins")
set(CPACK_DEBIAN_PACKAGE_RECOMMENDS "xdg-utils")
include(CPack)
