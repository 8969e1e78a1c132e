# Fails when a file of one room includes a header of a room it must not reach.
# -DSOURCE_DIR=<the tree's src folder>
set(rules
  "params|engine|effects" "state|gui|editor|plugin"
  "gui" "params|engine|effects|state|editor|plugin/ZuUniClient"
  "state" "params|engine|effects|editor|plugin/ZuUniClient")
set(faults 0)
list(LENGTH rules n)
math(EXPR last "${n} - 1")
foreach(i RANGE 0 ${last} 2)
  math(EXPR j "${i} + 1")
  list(GET rules ${i} from)
  list(GET rules ${j} forbidden)
  string(REPLACE "|" ";" from_rooms "${from}")
  foreach(room ${from_rooms})
    file(GLOB_RECURSE files ${SOURCE_DIR}/${room}/*.h ${SOURCE_DIR}/${room}/*.cpp)
    foreach(f ${files})
      file(STRINGS ${f} hits REGEX "^[ \t]*#[ \t]*include[ \t]*[\"<](${forbidden})[/.]")
      foreach(hit ${hits})
        file(RELATIVE_PATH rel ${SOURCE_DIR} ${f})
        message(SEND_ERROR "${rel}: ${hit}")
        math(EXPR faults "${faults} + 1")
      endforeach()
    endforeach()
  endforeach()
endforeach()
if(faults EQUAL 0)
  message(STATUS "Every include runs the allowed way")
endif()
