# The desktop program: the window layer (loamwright_ui) and its executable.
find_package(Qt6 REQUIRED COMPONENTS Widgets Test)

set(LW_UI_SOURCES)
file(GLOB ui_files CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/ui/*.cpp ${CMAKE_SOURCE_DIR}/src/app/*.cpp)
list(FILTER ui_files EXCLUDE REGEX "/src/app/main\\.cpp$")
list(APPEND LW_UI_SOURCES ${ui_files})
foreach(dir diff fillclear mapedit)
  foreach(unit ${LW_WINDOW_UNITS})
    if(EXISTS ${CMAKE_SOURCE_DIR}/src/${dir}/${unit}.cpp)
      list(APPEND LW_UI_SOURCES ${CMAKE_SOURCE_DIR}/src/${dir}/${unit}.cpp)
    endif()
  endforeach()
endforeach()

if(LW_UI_SOURCES)
  file(GLOB ui_headers CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/src/ui/*.h ${CMAKE_SOURCE_DIR}/src/app/*.h
       ${CMAKE_SOURCE_DIR}/src/diff/LW*.h ${CMAKE_SOURCE_DIR}/src/fillclear/LW*.h
       ${CMAKE_SOURCE_DIR}/src/mapedit/LW*.h)
  add_library(loamwright_ui STATIC ${LW_UI_SOURCES} ${ui_headers})
  set_target_properties(loamwright_ui PROPERTIES AUTOMOC ON)
  target_link_libraries(loamwright_ui PUBLIC loamwright_core Qt6::Widgets)
  target_compile_options(loamwright_ui PRIVATE ${LW_WARNINGS})
endif()

if(EXISTS ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
  add_executable(loamwright ${CMAKE_SOURCE_DIR}/src/app/main.cpp)
  target_link_libraries(loamwright PRIVATE loamwright_ui)
  target_compile_options(loamwright PRIVATE ${LW_WARNINGS})
  install(TARGETS loamwright RUNTIME DESTINATION bin)
endif()

# Renders every window on the demo world into PNG files (scripts/screenshots).
if(TARGET loamwright_ui)
  add_executable(lw_screenshots ${CMAKE_SOURCE_DIR}/tools/Screenshots.cpp)
  target_link_libraries(lw_screenshots PRIVATE loamwright_ui)
  target_compile_options(lw_screenshots PRIVATE ${LW_WARNINGS})
endif()
