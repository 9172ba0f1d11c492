# The desktop program: the window layer (loamwright_gui: every source under src/gui/), the wiring
# that creates the windows (loamwright_app) and the executable.
find_package(Qt6 REQUIRED COMPONENTS Widgets)
if(LW_BUILD_TESTS)
  find_package(Qt6 REQUIRED COMPONENTS Test)
endif()

file(GLOB_RECURSE LW_GUI_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/gui/*.cpp
     ${CMAKE_SOURCE_DIR}/src/gui/*.h)
add_library(loamwright_gui STATIC ${LW_GUI_SOURCES})
set_target_properties(loamwright_gui PROPERTIES AUTOMOC ON)
target_link_libraries(loamwright_gui PUBLIC loamwright_core Qt6::Widgets)
target_compile_options(loamwright_gui PRIVATE ${LW_WARNINGS})

file(GLOB LW_APP_SOURCES CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/app/*.cpp
     ${CMAKE_SOURCE_DIR}/src/app/*.h)
list(FILTER LW_APP_SOURCES EXCLUDE REGEX "/src/app/main\\.cpp$")
add_library(loamwright_app STATIC ${LW_APP_SOURCES})
target_link_libraries(loamwright_app PUBLIC loamwright_gui)
target_compile_options(loamwright_app PRIVATE ${LW_WARNINGS})

# The window icon comes from a Qt resource; on Windows the executable carries it as well, for
# Explorer and the taskbar. A GUI-subsystem program opens no console window there.
add_executable(loamwright ${CMAKE_SOURCE_DIR}/src/app/main.cpp
                          ${CMAKE_SOURCE_DIR}/packaging/icons/loamwright.qrc)
set_target_properties(loamwright PROPERTIES AUTORCC ON WIN32_EXECUTABLE ON)
target_link_libraries(loamwright PRIVATE loamwright_app)
target_compile_options(loamwright PRIVATE ${LW_WARNINGS})
if(WIN32)
  set(LW_ICON_FILE ${CMAKE_SOURCE_DIR}/packaging/icons/loamwright.ico)
  configure_file(${CMAKE_SOURCE_DIR}/packaging/windows/loamwright.rc.in
                 ${CMAKE_BINARY_DIR}/loamwright.rc @ONLY)
  target_sources(loamwright PRIVATE ${CMAKE_BINARY_DIR}/loamwright.rc)
endif()
