# Writes the checksums of a release as sha256sum writes them, so `sha256sum -c SHA256SUMS` checks a
# download: a line for each zip, then one for each file in it, named as it lies once the zip is unpacked
# beside SHA256SUMS (Tarvel/Tarvel.exe). The files are hashed as unpacked from the zip, as a user gets them.
#   cmake -DZIPS=<zip>[;<zip>…] -DOUTPUT=<SHA256SUMS beside the zips> -P sha256sums.cmake
cmake_minimum_required(VERSION 3.25)

if(NOT DEFINED ZIPS OR NOT DEFINED OUTPUT)
  message(FATAL_ERROR "sha256sums.cmake: -DZIPS=… and -DOUTPUT=… are needed")
endif()

get_filename_component(output "${OUTPUT}" ABSOLUTE)
set(unpacked "${output}.unpacked")
set(lines "")
foreach(zip IN LISTS ZIPS)
  get_filename_component(zip "${zip}" ABSOLUTE)
  get_filename_component(name "${zip}" NAME)
  file(SHA256 "${zip}" hash)
  string(APPEND lines "${hash}  ${name}\n")
  file(REMOVE_RECURSE "${unpacked}")
  file(ARCHIVE_EXTRACT INPUT "${zip}" DESTINATION "${unpacked}")
  file(GLOB_RECURSE files RELATIVE "${unpacked}" "${unpacked}/*")
  list(SORT files COMPARE STRING)
  foreach(file IN LISTS files)
    file(SHA256 "${unpacked}/${file}" hash)
    string(APPEND lines "${hash}  ${file}\n")
  endforeach()
endforeach()
file(REMOVE_RECURSE "${unpacked}")
file(WRITE "${output}" "${lines}")
