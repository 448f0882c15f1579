# Zips a folder so that the zip depends on the folder's content alone: the same files give the same bytes
# on any machine, at any time, in any time zone and under any umask.
#   cmake -DZIP=<Info-ZIP zip> -DFOLDER=<folder> -DOUTPUT=<file.zip> -DEPOCH=<seconds since 1970>
#         -P reproducible_zip.cmake
# The zip holds the folder itself, under its own name, and everything below it, in the byte order of the
# names. Every entry gets the time EPOCH and the mode 0755 (folders) or 0644 (files): the folder's files
# are given them in place. The entries carry no extra fields (-X), which would hold the builder's user and
# group ids and the files' access times. https://reproducible-builds.org/docs/archives/
cmake_minimum_required(VERSION 3.25)

foreach(argument ZIP FOLDER OUTPUT EPOCH)
  if(NOT DEFINED ${argument})
    message(FATAL_ERROR "reproducible_zip.cmake: -D${argument}=… is missing")
  endif()
endforeach()
if(NOT EPOCH MATCHES "^[0-9]+$")
  message(FATAL_ERROR "reproducible_zip.cmake: EPOCH must be seconds since 1970, not '${EPOCH}'")
endif()
if(NOT IS_DIRECTORY "${FOLDER}")
  message(FATAL_ERROR "reproducible_zip.cmake: ${FOLDER} is not a folder")
endif()

get_filename_component(folder "${FOLDER}" ABSOLUTE)
get_filename_component(output "${OUTPUT}" ABSOLUTE)
get_filename_component(parent "${folder}" DIRECTORY)
get_filename_component(top "${folder}" NAME)

file(GLOB_RECURSE entries LIST_DIRECTORIES true RELATIVE "${parent}" "${folder}/*")
list(APPEND entries "${top}")
# Byte order, whatever the locale.
list(SORT entries COMPARE STRING)

file(CHMOD_RECURSE "${folder}"
     FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ
     DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
execute_process(COMMAND touch -d "@${EPOCH}" -- ${entries} WORKING_DIRECTORY "${parent}" COMMAND_ERROR_IS_FATAL ANY)

# zip reads the names from its input, so it adds just the entries named, in that order; a folder named
# on its own adds its entry without its content. It would add to a zip already there.
list(JOIN entries "\n" names)
file(WRITE "${output}.names" "${names}\n")
file(REMOVE "${output}")
# Zip times are local times: in UTC the entries carry EPOCH itself (rounded up to even seconds). ZIP and
# ZIPOPT in the environment would add the builder's own options.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=ZIP --unset=ZIPOPT TZ=UTC0 "${ZIP}" -X -q -@ "${output}"
                WORKING_DIRECTORY "${parent}" INPUT_FILE "${output}.names" RESULT_VARIABLE result)
file(REMOVE "${output}.names")
if(NOT result EQUAL 0)
  file(REMOVE "${output}")
  message(FATAL_ERROR "reproducible_zip.cmake: ${ZIP} failed (${result}) on ${folder}")
endif()

list(LENGTH entries count)
message(STATUS "${output}: ${count} entries from ${folder}, all at SOURCE_DATE_EPOCH=${EPOCH}")
