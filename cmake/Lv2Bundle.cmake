# The LV2 version of the plug-in, Linux only and only where the LV2 headers
# are (Debian: lv2-dev): ${CMAKE_BINARY_DIR}/Orvel.lv2 with the plug-in
# binary, the user interface's binary and the descriptions that
# orvel_lv2gen writes from the parameter table and the built factory presets.
if(WIN32 OR NOT TARGET factory_presets)
  return()
endif()
find_path(ORVEL_LV2_INCLUDE_DIR lv2/core/lv2.h)
if(NOT ORVEL_LV2_INCLUDE_DIR)
  message(STATUS "LV2: headers not found (Debian: lv2-dev); the LV2 bundle is not built")
  return()
endif()
message(STATUS "LV2: headers in ${ORVEL_LV2_INCLUDE_DIR}; building Orvel.lv2")

set(ORVEL_LV2_BUNDLE ${CMAKE_BINARY_DIR}/Orvel.lv2)
set(lv2 ${CMAKE_SOURCE_DIR}/src/plugin/lv2)

# The plug-in: the VST entry point and the whole product behind the LV2 one;
# only the LV2 entry leaves the binary.
add_library(orvel_lv2 MODULE ${lv2}/Lv2Entry.cpp ${lv2}/Lv2Instance.cpp ${lv2}/Lv2HostTime.cpp ${lv2}/Lv2Ports.cpp
                             ${CMAKE_SOURCE_DIR}/src/plugin/VstEntry.cpp)
target_include_directories(orvel_lv2 PRIVATE ${ORVEL_LV2_INCLUDE_DIR})
target_link_libraries(orvel_lv2 PRIVATE orvel_core)
file(CONFIGURE OUTPUT ${CMAKE_BINARY_DIR}/lv2-exports.map
     CONTENT "{ global: lv2_descriptor; lv2ui_descriptor; local: *; };\n")
add_library(orvel_lv2_ui MODULE ${lv2}/Lv2Ui.cpp)
target_include_directories(orvel_lv2_ui PRIVATE ${ORVEL_LV2_INCLUDE_DIR} ${CMAKE_SOURCE_DIR}/src)
foreach(t orvel_lv2 orvel_lv2_ui)
  set_target_properties(${t} PROPERTIES PREFIX "" LIBRARY_OUTPUT_DIRECTORY ${ORVEL_LV2_BUNDLE}
                                         CXX_VISIBILITY_PRESET hidden VISIBILITY_INLINES_HIDDEN ON)
  target_link_options(${t} PRIVATE -Wl,--version-script=${CMAKE_BINARY_DIR}/lv2-exports.map)
  if(NOT ORVEL_SANITIZE)
    target_link_options(${t} PRIVATE -Wl,--no-undefined)
  endif()
endforeach()
set_target_properties(orvel_lv2 PROPERTIES OUTPUT_NAME Orvel)
set_target_properties(orvel_lv2_ui PROPERTIES OUTPUT_NAME Orvel_ui)

add_executable(orvel_lv2gen ${CMAKE_SOURCE_DIR}/tools/generators/Lv2TurtleGen.cpp ${lv2}/Lv2Ports.cpp)
target_include_directories(orvel_lv2gen PRIVATE ${ORVEL_LV2_INCLUDE_DIR})
target_link_libraries(orvel_lv2gen PRIVATE orvel_core)

set(ttl ${ORVEL_LV2_BUNDLE}/manifest.ttl ${ORVEL_LV2_BUNDLE}/orvel.ttl ${ORVEL_LV2_BUNDLE}/presets.ttl)
file(GLOB_RECURSE factoryTexts CONFIGURE_DEPENDS ${CMAKE_SOURCE_DIR}/presets/factory/*.txt)
add_custom_command(
  OUTPUT ${ttl}
  COMMAND orvel_lv2gen ${ORVEL_LV2_BUNDLE} ${ORVEL_PRESET_DIR} $<TARGET_FILE_NAME:orvel_lv2>
          $<TARGET_FILE_NAME:orvel_lv2_ui>
  DEPENDS orvel_lv2gen ${factoryTexts}
  COMMENT "LV2 descriptions in ${ORVEL_LV2_BUNDLE}"
  VERBATIM)
add_custom_target(orvel_lv2_bundle ALL DEPENDS ${ttl})
add_dependencies(orvel_lv2_bundle orvel_lv2 orvel_lv2_ui factory_presets)

# cmake --install: the bundle into ~/.lv2 (resolved when the install runs),
# or into the prefix given with --prefix; the binaries first, the manifest last.
install(CODE "
  set(ORVEL_PLUGIN \"$<TARGET_FILE:orvel_lv2>;$<TARGET_FILE:orvel_lv2_ui>;${ORVEL_LV2_BUNDLE}/orvel.ttl;${ORVEL_LV2_BUNDLE}/presets.ttl;${ORVEL_LV2_BUNDLE}/manifest.ttl\")
  set(ORVEL_HOME_FOLDER .lv2/Orvel.lv2)
  set(ORVEL_PREFIX_FOLDER Orvel.lv2)
  set(ORVEL_STRIP \"${CMAKE_STRIP}\")
  set(ORVEL_INSTALL_INTO_HOME ${ORVEL_INSTALL_INTO_HOME})
  set(ORVEL_CONFIGURED_PREFIX \"${CMAKE_INSTALL_PREFIX}\")
  include(\"${CMAKE_SOURCE_DIR}/presets/InstallPlugin.cmake\")
  unset(ORVEL_HOME_FOLDER)
  unset(ORVEL_PREFIX_FOLDER)
")

# The descriptions against the LV2 schema (Debian: lv2-dev with sordi).
find_program(ORVEL_LV2_VALIDATE lv2_validate)
find_program(ORVEL_SORD_VALIDATE sord_validate)
if(ORVEL_LV2_VALIDATE AND ORVEL_SORD_VALIDATE)
  add_test(NAME lv2_bundle_validates COMMAND ${ORVEL_LV2_VALIDATE} ${ttl})
  set_tests_properties(lv2_bundle_validates PROPERTIES FAIL_REGULAR_EXPRESSION "error:")
endif()

# The bundle through lilv against the VST module (Debian: liblilv-dev).
find_package(PkgConfig REQUIRED)
pkg_check_modules(LILV IMPORTED_TARGET lilv-0)
find_package(GTest)
if(NOT LILV_FOUND OR NOT GTest_FOUND)
  message(STATUS "LV2: lilv or GoogleTest not found (Debian: liblilv-dev); the LV2 tests are not built")
  return()
endif()
add_executable(orvel_lv2_tests ${CMAKE_SOURCE_DIR}/tests/lv2/Lv2VersionTest.cpp
                               ${CMAKE_SOURCE_DIR}/tests/support/TestMain.cpp)
target_include_directories(orvel_lv2_tests PRIVATE ${CMAKE_SOURCE_DIR}/tests ${ORVEL_LV2_INCLUDE_DIR})
target_link_libraries(orvel_lv2_tests PRIVATE orvel_core PkgConfig::LILV GTest::gtest ${CMAKE_DL_LIBS})
target_compile_definitions(orvel_lv2_tests PRIVATE ORVEL_PLUGIN_PATH="$<TARGET_FILE:Orvel>"
                                                   ORVEL_LV2_BUNDLE="${ORVEL_LV2_BUNDLE}")
add_dependencies(orvel_lv2_tests orvel_lv2_bundle Orvel)
gtest_discover_tests(orvel_lv2_tests DISCOVERY_TIMEOUT 60 PROPERTIES TIMEOUT 300)
