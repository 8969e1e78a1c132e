# Runs inside `cmake --install`: puts the plug-in, stripped of its debug
# information and symbol table, into the folder hosts search. Set by the
# caller: ORVEL_PLUGIN (the built module), ORVEL_STRIP (may be empty),
# ORVEL_INSTALL_INTO_HOME and ORVEL_CONFIGURED_PREFIX. The folder is resolved
# here, not when the tree was configured, so that it follows the HOME of
# whoever installs.

if(ORVEL_INSTALL_INTO_HOME AND CMAKE_INSTALL_PREFIX STREQUAL ORVEL_CONFIGURED_PREFIX)
  if(NOT "$ENV{HOME}" MATCHES "^/")
    message(FATAL_ERROR "HOME names no folder to install the plug-in into; give one with --prefix")
  endif()
  set(folder "$ENV{HOME}/.vst")
else()
  set(folder "${CMAKE_INSTALL_PREFIX}")
endif()
get_filename_component(name "${ORVEL_PLUGIN}" NAME)
set(target "$ENV{DESTDIR}${folder}/${name}")
message(STATUS "Installing: ${target}")
file(MAKE_DIRECTORY "$ENV{DESTDIR}${folder}")

# Written beside the target and renamed over it, so that a host scanning the
# folder meanwhile never finds half a plug-in.
set(part "$ENV{DESTDIR}${folder}/.${name}.part")
if(ORVEL_STRIP)
  execute_process(COMMAND "${ORVEL_STRIP}" --strip-unneeded -o "${part}" "${ORVEL_PLUGIN}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    file(REMOVE "${part}")
    message(FATAL_ERROR "Could not strip ${ORVEL_PLUGIN}")
  endif()
else()
  file(COPY_FILE "${ORVEL_PLUGIN}" "${part}")
endif()
file(RENAME "${part}" "${target}")
list(APPEND CMAKE_INSTALL_MANIFEST_FILES "${target}")
