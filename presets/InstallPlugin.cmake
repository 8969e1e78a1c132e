# Runs inside `cmake --install`: puts plug-in files into the folder hosts
# search, binaries stripped of their debug information and symbol table. Set
# by the caller: ORVEL_PLUGIN (the built files, in the order to install),
# ORVEL_STRIP (may be empty), ORVEL_INSTALL_INTO_HOME, ORVEL_CONFIGURED_PREFIX,
# and optionally ORVEL_HOME_FOLDER (below the home; .vst when unset) and
# ORVEL_PREFIX_FOLDER (below an install prefix). The folder is resolved here,
# not when the tree was configured, so that it follows the HOME of whoever
# installs.

if(NOT ORVEL_HOME_FOLDER)
  set(ORVEL_HOME_FOLDER .vst)
endif()
if(ORVEL_INSTALL_INTO_HOME AND CMAKE_INSTALL_PREFIX STREQUAL ORVEL_CONFIGURED_PREFIX)
  if(NOT "$ENV{HOME}" MATCHES "^/")
    message(FATAL_ERROR "HOME names no folder to install the plug-in into; give one with --prefix")
  endif()
  set(folder "$ENV{HOME}/${ORVEL_HOME_FOLDER}")
elseif(ORVEL_PREFIX_FOLDER)
  set(folder "${CMAKE_INSTALL_PREFIX}/${ORVEL_PREFIX_FOLDER}")
else()
  set(folder "${CMAKE_INSTALL_PREFIX}")
endif()
file(MAKE_DIRECTORY "$ENV{DESTDIR}${folder}")

foreach(file IN LISTS ORVEL_PLUGIN)
  get_filename_component(name "${file}" NAME)
  set(target "$ENV{DESTDIR}${folder}/${name}")
  message(STATUS "Installing: ${target}")
  # Written beside the target and renamed over it, so that a host scanning the
  # folder meanwhile never finds half a plug-in.
  set(part "$ENV{DESTDIR}${folder}/.${name}.part")
  if(ORVEL_STRIP AND name MATCHES "\\.(so|dll)$")
    execute_process(COMMAND "${ORVEL_STRIP}" --strip-unneeded -o "${part}" "${file}" RESULT_VARIABLE result)
    if(NOT result EQUAL 0)
      file(REMOVE "${part}")
      message(FATAL_ERROR "Could not strip ${file}")
    endif()
  else()
    file(COPY_FILE "${file}" "${part}")
  endif()
  file(RENAME "${part}" "${target}")
  list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
endforeach()
