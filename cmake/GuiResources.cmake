# The GUI's generated parts: the glyph atlas compiled into every build, and
# the skin bitmaps (embedded in the Linux module, BITMAP resources in the
# Windows DLLs). The generators run on the build machine; a cross build makes
# its own host build of them unless ORVEL_HOST_TOOLS_DIR names one.
set(ORVEL_GEN_DIR ${CMAKE_BINARY_DIR}/generated)
set(ORVEL_SKIN_DIR ${ORVEL_GEN_DIR}/skin)
file(MAKE_DIRECTORY ${ORVEL_SKIN_DIR})
set(ORVEL_FONT_REGULAR /usr/share/fonts/truetype/dejavu/DejaVuSans.ttf CACHE FILEPATH "DejaVu Sans")
set(ORVEL_FONT_BOLD /usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf CACHE FILEPATH "DejaVu Sans Bold")

if(CMAKE_CROSSCOMPILING)
  set(ORVEL_HOST_TOOLS_DIR "" CACHE PATH "Folder holding host builds of orvel_fontgen and orvel_skingen")
  if(ORVEL_HOST_TOOLS_DIR)
    set(ORVEL_FONTGEN ${ORVEL_HOST_TOOLS_DIR}/orvel_fontgen)
    set(ORVEL_SKINGEN ${ORVEL_HOST_TOOLS_DIR}/orvel_skingen)
    set(ORVEL_GEN_DEPENDS ${ORVEL_FONTGEN} ${ORVEL_SKINGEN})
  else()
    include(ExternalProject)
    set(host_dir ${CMAKE_BINARY_DIR}/host-generators)
    ExternalProject_Add(host_generators
      SOURCE_DIR ${CMAKE_SOURCE_DIR}/tools/generators
      BINARY_DIR ${host_dir}
      CMAKE_ARGS -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=c++ -DORVEL_WERROR=${ORVEL_WERROR}
      INSTALL_COMMAND ""
      BUILD_ALWAYS ON
      BUILD_BYPRODUCTS ${host_dir}/orvel_fontgen ${host_dir}/orvel_skingen)
    set(ORVEL_FONTGEN ${host_dir}/orvel_fontgen)
    set(ORVEL_SKINGEN ${host_dir}/orvel_skingen)
    set(ORVEL_GEN_DEPENDS host_generators ${ORVEL_FONTGEN} ${ORVEL_SKINGEN})
  endif()
else()
  add_subdirectory(${CMAKE_SOURCE_DIR}/tools/generators ${CMAKE_BINARY_DIR}/generators)
  set(ORVEL_FONTGEN $<TARGET_FILE:orvel_fontgen>)
  set(ORVEL_SKINGEN $<TARGET_FILE:orvel_skingen>)
  set(ORVEL_GEN_DEPENDS orvel_fontgen orvel_skingen)
endif()

add_custom_command(OUTPUT ${ORVEL_GEN_DIR}/FontAtlasData.cpp
  COMMAND ${ORVEL_FONTGEN} ${ORVEL_FONT_REGULAR} ${ORVEL_FONT_BOLD} ${ORVEL_GEN_DIR}/FontAtlasData.cpp
  DEPENDS ${ORVEL_GEN_DEPENDS} ${ORVEL_FONT_REGULAR} ${ORVEL_FONT_BOLD}
  COMMENT "Rasterising the glyph atlas" VERBATIM)

set(ORVEL_SKIN_FILES ${ORVEL_SKIN_DIR}/EmbeddedBitmaps.cpp ${ORVEL_SKIN_DIR}/skin.rc)
foreach(id RANGE 1000 1068)
  list(APPEND ORVEL_SKIN_FILES ${ORVEL_SKIN_DIR}/${id}.bmp)
endforeach()
add_custom_command(OUTPUT ${ORVEL_SKIN_FILES}
  COMMAND ${ORVEL_SKINGEN} ${ORVEL_FONT_REGULAR} ${ORVEL_FONT_BOLD} ${ORVEL_SKIN_DIR}
  DEPENDS ${ORVEL_GEN_DEPENDS} ${ORVEL_FONT_REGULAR} ${ORVEL_FONT_BOLD}
  COMMENT "Drawing the skin bitmaps" VERBATIM)
add_custom_target(orvel_skin DEPENDS ${ORVEL_SKIN_FILES})

target_sources(orvel_gui PRIVATE ${ORVEL_GEN_DIR}/FontAtlasData.cpp)
if(WIN32)
  enable_language(RC)
  target_sources(Orvel PRIVATE ${ORVEL_SKIN_DIR}/skin.rc)
  set_source_files_properties(${ORVEL_SKIN_DIR}/skin.rc PROPERTIES OBJECT_DEPENDS "${ORVEL_SKIN_FILES}")
  target_link_libraries(orvel_gui PUBLIC gdi32 user32)
else()
  target_sources(orvel_gui PRIVATE ${ORVEL_SKIN_DIR}/EmbeddedBitmaps.cpp)
  set_source_files_properties(${ORVEL_SKIN_DIR}/EmbeddedBitmaps.cpp PROPERTIES OBJECT_DEPENDS "${ORVEL_SKIN_FILES}")
  find_package(X11 REQUIRED)
  target_link_libraries(orvel_gui PUBLIC X11::X11)
endif()

# The contact sheet of the skin (Linux only).
if(NOT CMAKE_CROSSCOMPILING)
  find_package(PNG REQUIRED)
  add_executable(orvel_skinsheet tools/skinsheet/SkinSheet.cpp)
  target_link_libraries(orvel_skinsheet PRIVATE orvel_core PNG::PNG)
endif()
if(NOT CMAKE_CROSSCOMPILING)
  add_test(NAME skin_contact_sheet COMMAND orvel_skinsheet ${CMAKE_BINARY_DIR}/skin-pictures)
  file(MAKE_DIRECTORY ${CMAKE_BINARY_DIR}/skin-pictures)
endif()
