# The processor a Windows manifest names (assemblyIdentity processorArchitecture) for the machine the C++
# compiler builds for. Windows refuses to start an exe whose manifest names another processor than its
# own, so a machine without a known name stops the configure rather than give a wrong one.
include_guard(GLOBAL)
include(CheckCXXSourceCompiles)

# The name for a machine as GCC calls it (i686, x86_64, aarch64 …); a configure error for any other.
function(tarvel_manifest_processor machine out_var)
  if(machine MATCHES "^i[3-6]86$")
    set(processor x86)
  elseif(machine STREQUAL "x86_64")
    set(processor amd64)
  elseif(machine STREQUAL "aarch64")
    set(processor arm64)
  else()
    message(FATAL_ERROR "No Windows manifest processor for the machine '${machine}': "
                        "only 32-bit x86 (x86), x86-64 (amd64) and ARM64 (arm64) are known")
  endif()
  set(${out_var} ${processor} PARENT_SCOPE)
endfunction()

# The machine the compiler builds for, from its own predefined macros: CMAKE_SYSTEM_PROCESSOR names the
# host's processor in a native build (an MSYS2 MINGW32 shell on 64-bit Windows says AMD64).
function(tarvel_compiler_machine out_var)
  set(machine unknown)
  foreach(candidate IN ITEMS i386 x86_64 aarch64)
    check_cxx_source_compiles("#ifndef __${candidate}__\n#error\n#endif\nint main() { return 0; }"
      TARVEL_COMPILER_MACHINE_${candidate})
    if(TARVEL_COMPILER_MACHINE_${candidate})
      set(machine ${candidate})
    endif()
  endforeach()
  set(${out_var} ${machine} PARENT_SCOPE)
endfunction()
