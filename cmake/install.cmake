# `make install` (cmake --install): the program folder with the editor, the converter, the
# batch interpreter, the user guide and the home page; on Linux also a launcher, a desktop
# entry, an icon, a MIME type for .mbm, so a file manager opens archives with the editor, and
# AppStream metadata for software centres.
# An installed program folder is usually not writable: the editor then keeps its work
# folders in the user's cache folder.
include(GNUInstallDirs)

set(ZEMBREL_INSTALL_PROGRAM_DIR "lib/mbmzembrel" CACHE STRING
    "The program folder, relative to the install prefix")
# The folders an install makes are rwxr-xr-x whatever the umask, as a package's must be.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)

install(TARGETS mbmzembrel bmconv batchrun RUNTIME DESTINATION ${ZEMBREL_INSTALL_PROGRAM_DIR})
install(FILES ${PROJECT_SOURCE_DIR}/docs/userguide.html ${PROJECT_SOURCE_DIR}/docs/home.html
        DESTINATION ${ZEMBREL_INSTALL_PROGRAM_DIR})

if(UNIX AND NOT APPLE)
  set(data ${PROJECT_SOURCE_DIR}/data)
  install(FILES ${data}/mbmzembrel-mime.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages
          RENAME mbmzembrel.xml)
  install(FILES ${data}/org.mbmzembrel.MbmZembrel.metainfo.xml
          DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${data}/icons/mbmzembrel.svg
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 32 48 128 256)
    install(FILES ${data}/icons/mbmzembrel-${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps
            RENAME mbmzembrel.png)
  endforeach()

  # The folders of the launcher and the desktop entry, made as the others are.
  install(DIRECTORY DESTINATION ${CMAKE_INSTALL_BINDIR})
  install(DIRECTORY DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)

  # The launcher is a relative link, so it works under DESTDIR and after the tree is moved;
  # the editor finds its program folder through the link.
  file(RELATIVE_PATH launcher_target /${CMAKE_INSTALL_BINDIR}
       /${ZEMBREL_INSTALL_PROGRAM_DIR}/mbmzembrel)
  # The desktop entry names the launcher by its full path, which is only known once the
  # prefix of this install is (cmake --install --prefix may change it).
  install(CODE "
    set(zembrel_root \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
    set(zembrel_link \"\${zembrel_root}/${CMAKE_INSTALL_BINDIR}/mbmzembrel\")
    message(STATUS \"Installing: \${zembrel_link}\")
    file(MAKE_DIRECTORY \"\${zembrel_root}/${CMAKE_INSTALL_BINDIR}\")
    file(REMOVE \"\${zembrel_link}\")
    file(CREATE_LINK \"${launcher_target}\" \"\${zembrel_link}\" SYMBOLIC)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${zembrel_link}\")

    set(zembrel_exec \"\${CMAKE_INSTALL_PREFIX}/${CMAKE_INSTALL_BINDIR}/mbmzembrel\")
    if(zembrel_exec MATCHES \"[\\\"\\\\\\\\`$%\\n]\")
      message(FATAL_ERROR \"The install prefix \${CMAKE_INSTALL_PREFIX} cannot be written into a desktop entry.\")
    endif()
    # TryExec is a plain path; Exec a command line, where a blank needs quotes.
    set(ZEMBREL_DESKTOP_TRYEXEC \"\${zembrel_exec}\")
    if(zembrel_exec MATCHES \" \")
      set(zembrel_exec \"\\\"\${zembrel_exec}\\\"\")
    endif()
    set(ZEMBREL_DESKTOP_EXEC \"\${zembrel_exec}\")
    set(zembrel_desktop \"\${zembrel_root}/${CMAKE_INSTALL_DATADIR}/applications/mbmzembrel.desktop\")
    message(STATUS \"Installing: \${zembrel_desktop}\")
    configure_file(\"${data}/mbmzembrel.desktop.in\" \"\${zembrel_desktop}\" @ONLY)
    list(APPEND CMAKE_INSTALL_MANIFEST_FILES \"\${zembrel_desktop}\")

    # A real install (no DESTDIR) tells the desktop at once; packages do this themselves.
    if(\"\$ENV{DESTDIR}\" STREQUAL \"\")
      find_program(zembrel_update_mime update-mime-database)
      if(zembrel_update_mime)
        execute_process(COMMAND \"\${zembrel_update_mime}\" \"\${zembrel_root}/${CMAKE_INSTALL_DATADIR}/mime\")
      endif()
      find_program(zembrel_update_desktop update-desktop-database)
      if(zembrel_update_desktop)
        execute_process(COMMAND \"\${zembrel_update_desktop}\" \"\${zembrel_root}/${CMAKE_INSTALL_DATADIR}/applications\")
      endif()
      find_program(zembrel_update_icons gtk-update-icon-cache)
      if(zembrel_update_icons)
        execute_process(COMMAND \"\${zembrel_update_icons}\" -q -t \"\${zembrel_root}/${CMAKE_INSTALL_DATADIR}/icons/hicolor\")
      endif()
    endif()
  ")
endif()
