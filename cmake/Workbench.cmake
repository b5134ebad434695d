# The desktop workbench: workbench/ and config/ form the library velmora_gui (so the tests
# can drive the windows in-process), main.cpp is the program's entry.
set(CMAKE_AUTOMOC ON)
set(CMAKE_AUTORCC ON)
find_package(Qt6 6.4 REQUIRED COMPONENTS Widgets Network PrintSupport)

# QScintilla ships no CMake config and no .pc file.
find_path(QSCINTILLA_INCLUDE_DIR Qsci/qsciscintilla.h PATH_SUFFIXES qt6 REQUIRED)
find_library(QSCINTILLA_LIBRARY NAMES qscintilla2_qt6 REQUIRED)
add_library(QScintilla::QScintilla UNKNOWN IMPORTED)
set_target_properties(QScintilla::QScintilla PROPERTIES
  IMPORTED_LOCATION "${QSCINTILLA_LIBRARY}"
  INTERFACE_INCLUDE_DIRECTORIES "${QSCINTILLA_INCLUDE_DIR}"
  INTERFACE_COMPILE_DEFINITIONS QSCINTILLA_DLL
  INTERFACE_LINK_LIBRARIES "Qt6::Widgets;Qt6::PrintSupport")

file(GLOB VELMORA_GUI_SOURCES CONFIGURE_DEPENDS
  ${PROJECT_SOURCE_DIR}/workbench/*.cpp ${PROJECT_SOURCE_DIR}/workbench/*.h
  ${PROJECT_SOURCE_DIR}/config/*.cpp ${PROJECT_SOURCE_DIR}/config/*.h
  ${PROJECT_SOURCE_DIR}/workbench/*.qrc ${PROJECT_SOURCE_DIR}/config/*.qrc)
add_library(velmora_gui STATIC ${VELMORA_GUI_SOURCES})
target_include_directories(velmora_gui PUBLIC ${PROJECT_SOURCE_DIR}/workbench ${PROJECT_SOURCE_DIR}/config)
target_link_libraries(velmora_gui PUBLIC velmora_core Qt6::Widgets Qt6::Network Qt6::PrintSupport
                      QScintilla::QScintilla)
target_compile_definitions(velmora_gui PUBLIC VELMORA_SERVER="${VELMORA_SERVER}")

if(EXISTS ${PROJECT_SOURCE_DIR}/main.cpp)
  add_executable(velmora ${PROJECT_SOURCE_DIR}/main.cpp)
  target_link_libraries(velmora PRIVATE velmora_gui)
  install(TARGETS velmora RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
  # The program finds its language files and examples beside itself, also in the build folder.
  add_custom_command(TARGET velmora POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/Languages $<TARGET_FILE_DIR:velmora>/Languages
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${PROJECT_SOURCE_DIR}/examples $<TARGET_FILE_DIR:velmora>/examples)
endif()
