# Windows: windeployqt copies the Qt runtime the desktop program needs (the DLLs and the platform
# plugin) beside the installed executable, so the installed folder, and the ZIP made of it, run
# on a machine without Qt.
if(TARGET Qt6::windeployqt)
  set(LW_WINDEPLOYQT $<TARGET_FILE:Qt6::windeployqt>)
else()
  find_program(LW_WINDEPLOYQT windeployqt HINTS ${QT6_INSTALL_PREFIX}/bin)
endif()
if(NOT LW_WINDEPLOYQT)
  message(WARNING "windeployqt not found: the installed desktop program lacks the Qt runtime")
  return()
endif()
install(CODE "
  set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  execute_process(COMMAND \"${LW_WINDEPLOYQT}\" --no-translations --no-opengl-sw
                          --no-system-d3d-compiler --dir \"\${folder}\"
                          \"\${folder}/$<TARGET_FILE_NAME:loamwright>\"
                  COMMAND_ERROR_IS_FATAL ANY)")
