# Assembles one Windows package folder, ready to copy:
#
#   Orvel.dll
#   Content/Presets/...        the factory presets, default.zuo, User/
#   Content/Manual/...         the manual
#   Orvel.reg                  sets "contentpath" and "installpath" to CONTENT
#   Register Content Folder.cmd  sets them to the Content folder beside it, wherever the package was copied
#
# Called with -DPACKAGE= -DDLL= -DPRESETS= -DMANUAL= (may be empty) -DCONTENT=
# (a Windows folder ending in a backslash) and -DSTRIP= (the DLL's strip tool;
# empty or not found: the DLL goes in as built).

file(REMOVE_RECURSE "${PACKAGE}")
file(MAKE_DIRECTORY "${PACKAGE}/Content/Presets/User")
file(COPY "${PRESETS}/" DESTINATION "${PACKAGE}/Content/Presets")
if(MANUAL)
  file(COPY "${MANUAL}/" DESTINATION "${PACKAGE}/Content/Manual")
endif()

if(NOT CONTENT MATCHES "\\\\$")
  string(APPEND CONTENT "\\")
endif()
string(REPLACE "\\" "\\\\" escaped "${CONTENT}")
string(CONCAT reg
  "REGEDIT4\r\n"
  "\r\n"
  "[HKEY_CURRENT_USER\\Software\\Tamblor\\Orvel]\r\n"
  "\"contentpath\"=\"${escaped}\"\r\n"
  "\"installpath\"=\"${escaped}\"\r\n")
file(WRITE "${PACKAGE}/Orvel.reg" "${reg}")

string(CONCAT cmd
  "@echo off\r\n"
  "rem Points Orvel at the Content folder beside this file. Run it once after\r\n"
  "rem copying the folder, before Orvel is first loaded.\r\n"
  "set \"CONTENT=%~dp0Content\\\"\r\n"
  "reg add \"HKCU\\Software\\Tamblor\\Orvel\" /v contentpath /t REG_SZ /d \"%CONTENT%\\\" /f\r\n"
  "reg add \"HKCU\\Software\\Tamblor\\Orvel\" /v installpath /t REG_SZ /d \"%CONTENT%\\\" /f\r\n")
file(WRITE "${PACKAGE}/Register Content Folder.cmd" "${cmd}")

# Last, so that the build sees the package as done only when all of it is there.
if(STRIP)
  execute_process(COMMAND "${STRIP}" --strip-unneeded -o "${PACKAGE}/Orvel.dll.part" "${DLL}" RESULT_VARIABLE result)
  if(NOT result EQUAL 0)
    message(FATAL_ERROR "Could not strip ${DLL}")
  endif()
  file(RENAME "${PACKAGE}/Orvel.dll.part" "${PACKAGE}/Orvel.dll")
else()
  file(COPY "${DLL}" DESTINATION "${PACKAGE}")
endif()
