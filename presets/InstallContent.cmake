# Runs inside `cmake --install`: puts the factory content into the user's data
# folder and records it in the settings store. Set by the caller:
# ORVEL_PRESET_DIR (the built preset root), ORVEL_MANUAL_DIR (may be empty),
# ORVEL_SETTINGS_TOOL. ORVEL_CONTENT_DIR in the environment overrides the
# content folder.

if(DEFINED ENV{ORVEL_CONTENT_DIR} AND NOT "$ENV{ORVEL_CONTENT_DIR}" STREQUAL "")
  set(content "$ENV{ORVEL_CONTENT_DIR}")
else()
  # ${XDG_DATA_HOME:-$HOME/.local/share}; a relative XDG_DATA_HOME is ignored,
  # as the plug-in ignores it.
  set(data "$ENV{XDG_DATA_HOME}")
  if(NOT data MATCHES "^/")
    if(NOT "$ENV{HOME}" MATCHES "^/")
      message(FATAL_ERROR "Neither XDG_DATA_HOME nor HOME names a folder to install the presets into")
    endif()
    set(data "$ENV{HOME}/.local/share")
  endif()
  set(content "${data}/Tamblor/Orvel")
endif()
string(REGEX REPLACE "/+$" "" content "${content}")

if(NOT EXISTS "${ORVEL_PRESET_DIR}/default.zuo")
  message(FATAL_ERROR "The factory presets are not built (${ORVEL_PRESET_DIR}); build the tree first")
endif()
file(INSTALL DESTINATION "${content}/Presets" TYPE DIRECTORY FILES "${ORVEL_PRESET_DIR}/")
# The folder the editor saves into; the user's presets in it stay.
file(MAKE_DIRECTORY "${content}/Presets/User")
if(ORVEL_MANUAL_DIR)
  file(INSTALL DESTINATION "${content}/Manual" TYPE DIRECTORY FILES "${ORVEL_MANUAL_DIR}/")
endif()

# The plug-in builds its preset folder from "contentpath" on its first run and
# finds the manual below "installpath"; both end in the separator. Folders a
# first run made before the content was there are moved below it.
execute_process(COMMAND "${ORVEL_SETTINGS_TOOL}" --content "${content}/"
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "Could not write the content folder into the settings store")
endif()
