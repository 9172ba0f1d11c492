# Where the programs go when installed, and the packages CPack makes of that: a .deb on Linux, a
# ZIP on Windows. The desktop program reads AutoSelect.txt from its own folder, so the
# executables and the template always lie together: in the ZIP's top folder on Windows, in
# lib/loamwright/ elsewhere with links in bin/ (the programs resolve their folder through them).
set(LW_PROGRAMS loamwright-cli)
if(TARGET loamwright)
  list(APPEND LW_PROGRAMS loamwright)
endif()

if(WIN32)
  set(LW_PROGRAM_DIR .)
else()
  set(LW_PROGRAM_DIR lib/loamwright)
endif()
install(TARGETS ${LW_PROGRAMS} RUNTIME DESTINATION ${LW_PROGRAM_DIR})
install(FILES ${CMAKE_SOURCE_DIR}/src/items/AutoSelect.txt DESTINATION ${LW_PROGRAM_DIR})

if(WIN32)
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION .)
  if(TARGET loamwright)
    include(cmake/WindowsDeploy.cmake)
  endif()
else()
  foreach(program ${LW_PROGRAMS})
    install(CODE "
      set(bin \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}/bin\")
      file(MAKE_DIRECTORY \"\${bin}\")
      file(CREATE_LINK ../${LW_PROGRAM_DIR}/${program} \"\${bin}/${program}\" SYMBOLIC)")
  endforeach()
  install(FILES ${CMAKE_SOURCE_DIR}/README.md DESTINATION share/doc/loamwright)
  if(TARGET loamwright)
    install(FILES ${CMAKE_SOURCE_DIR}/packaging/linux/loamwright.desktop
            DESTINATION share/applications)
    foreach(size 16 32 48 256)
      install(FILES ${CMAKE_SOURCE_DIR}/packaging/icons/loamwright-${size}.png
              DESTINATION share/icons/hicolor/${size}x${size}/apps RENAME loamwright.png)
    endforeach()
  endif()
endif()

set(CPACK_PACKAGE_NAME loamwright)
set(CPACK_PACKAGE_VENDOR Tolvanek)
set(CPACK_PACKAGE_CONTACT "Tolvanek <loamwright@example.org>")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "Editor for the world files of UO game servers")
# Lines of the package's long description, kept short for package managers' listings.
string(JOIN "\n" CPACK_PACKAGE_DESCRIPTION
       "Loamwright lists, melts and freezes the statics of the game client's world files,"
       "moves items between the statics and the item files of the UOX3 and POL server"
       "emulators, generates and applies whole-world diff files, fills and clears rectangles"
       "of the world and edits its terrain. loamwright-cli offers the same operations for"
       "scripts.")
set(CPACK_STRIP_FILES ON)
if(WIN32)
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME loamwright-${PROJECT_VERSION}-windows-x64)
else()
  set(CPACK_GENERATOR DEB)
  set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
  set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
  set(CPACK_DEBIAN_PACKAGE_SECTION games)
  # The shared libraries' packages (Qt, libpng, the C++ runtime) come from dpkg-shlibdeps.
  find_program(LW_DPKG_SHLIBDEPS dpkg-shlibdeps)
  if(LW_DPKG_SHLIBDEPS)
    set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
  else()
    message(STATUS "dpkg-shlibdeps not found: the .deb lists its dependencies by hand")
    set(CPACK_DEBIAN_PACKAGE_DEPENDS
        "libc6, libstdc++6, libgcc-s1, libpng16-16, libqt6core6, libqt6gui6, libqt6widgets6")
  endif()
endif()
include(CPack)
