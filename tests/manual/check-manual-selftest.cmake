# The manual check itself: a well-formed manual passes, and each kind of fault
# in a broken one is reported.
#   cmake -DCHECKER=<check-manual.cmake> -DFIXTURES=<folder> -P check-manual-selftest.cmake
cmake_minimum_required(VERSION 3.20)

function(run dir out result)
  execute_process(COMMAND "${CMAKE_COMMAND}" -DMANUAL_DIR=${FIXTURES}/${dir} -P "${CHECKER}"
                  OUTPUT_VARIABLE o ERROR_VARIABLE e RESULT_VARIABLE r)
  set(${out} "${o}${e}" PARENT_SCOPE)
  set(${result} "${r}" PARENT_SCOPE)
endfunction()

set(failures 0)
function(fail text)
  message("FAIL: ${text}")
  math(EXPR n "${failures} + 1")
  set(failures ${n} PARENT_SCOPE)
endfunction()

run(good output result)
if(NOT result EQUAL 0)
  fail("the good manual is refused:\n${output}")
endif()

run(broken output result)
if(result EQUAL 0)
  fail("the broken manual passes")
endif()
foreach(expected
    "has a script"
    "has a <link> element"
    "id 'twice' is given more than once"
    "image 'missing.png' names a missing file"
    "image 'http://example.org/remote.png' is not a local file"
    "image 'Other.htm' is not a picture file"
    "empty image address"
    "link '#nowhere' names a missing anchor"
    "link 'Other.htm#nowhere-else' names a missing anchor"
    "link 'Absent.htm' names a missing file"
    "link '../outside.htm' leaves the manual's folder"
    "link 'sub\\page.htm' uses a backslash"
    "link '/etc/passwd' is an absolute path"
    "link 'style.css' names a missing file")
  string(FIND "${output}" "${expected}" at)
  if(at EQUAL -1)
    fail("not reported: ${expected}")
  endif()
endforeach()
foreach(unexpected "'Other.htm' names" "'#twice' names")
  string(FIND "${output}" "link ${unexpected}" at)
  if(NOT at EQUAL -1)
    fail("a sound link is reported: ${unexpected}")
  endif()
endforeach()
string(REGEX MATCHALL "PROBLEM:" lines "${output}")
list(LENGTH lines count)
if(NOT count EQUAL 14)
  fail("${count} problems reported in the broken manual, 14 expected:\n${output}")
endif()
run(missing output result)
if(result EQUAL 0)
  fail("a missing manual folder passes")
endif()

if(failures GREATER 0)
  message(FATAL_ERROR "${failures} failure(s)")
endif()
message("manual check: finds every planted fault and passes a sound manual")
