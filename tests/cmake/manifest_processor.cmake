# The processor the Windows manifests name (cmake/windows_processor.cmake): the name for each machine, a
# configure error for a machine without one, and what the two mingw-w64 toolchains really configure.
#
#   cmake -DSOURCE=<repository> -DSCRATCH=<folder> -P manifest_processor.cmake
include(${SOURCE}/cmake/windows_processor.cmake)
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})

foreach(row IN ITEMS i686=x86 i386=x86 x86_64=amd64 aarch64=arm64)
  string(REPLACE "=" ";" row ${row})
  list(GET row 0 machine)
  list(GET row 1 want)
  tarvel_manifest_processor(${machine} got)
  if(NOT got STREQUAL want)
    message(SEND_ERROR "machine ${machine}: the manifest names '${got}', not '${want}'")
  endif()
endforeach()

# Windows would refuse an exe whose manifest names the wrong processor: no name at all stops the configure.
file(WRITE ${SCRATCH}/one_machine.cmake
  "include(${SOURCE}/cmake/windows_processor.cmake)\ntarvel_manifest_processor(\"\${MACHINE}\" got)\n")
foreach(machine IN ITEMS armv7 riscv64 unknown)
  execute_process(COMMAND ${CMAKE_COMMAND} -DMACHINE=${machine} -P ${SCRATCH}/one_machine.cmake
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE said)
  if(rc EQUAL 0 OR NOT said MATCHES "No Windows manifest processor for the machine '${machine}'")
    message(SEND_ERROR "machine ${machine}: exit ${rc}, not the configure error; said: ${said}")
  endif()
endforeach()

# Each toolchain file configures the whole project; both manifests name that compiler's processor.
foreach(row IN ITEMS mingw-w64-i686=x86 mingw-w64-x86_64=amd64)
  string(REPLACE "=" ";" row ${row})
  list(GET row 0 toolchain)
  list(GET row 1 want)
  set(tree ${SCRATCH}/${toolchain})
  execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE} -B ${tree}
    -DCMAKE_TOOLCHAIN_FILE=${SOURCE}/cmake/${toolchain}.cmake -DCMAKE_BUILD_TYPE=Release -DTARVEL_TESTS=OFF
    RESULT_VARIABLE rc OUTPUT_QUIET ERROR_VARIABLE said)
  if(NOT rc EQUAL 0)
    message(SEND_ERROR "${toolchain}: the configure failed (${rc}): ${said}")
    continue()
  endif()
  foreach(manifest IN ITEMS app/Tarvel.manifest bench/startup/bare_dialog.manifest)
    # The program's own identity; the common controls' is processorArchitecture="*".
    file(STRINGS ${tree}/${manifest} identity REGEX "<assemblyIdentity type=\"win32\" name=\"Ventra\\.")
    if(NOT identity MATCHES "processorArchitecture=\"${want}\"")
      message(SEND_ERROR "${toolchain}: ${manifest} says '${identity}', not processorArchitecture=\"${want}\"")
    endif()
  endforeach()
endforeach()
