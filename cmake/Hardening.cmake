# The native programs are hardened as Debian builds its packages: a stack protector and stack
# clash probes, control-flow protection on x86-64, position-independent executables, relocations
# read-only and bound at start, and checked buffer functions. The sanitizer build goes without.
# WRIGGLET_HARDENING says what was added, for the configure summary.
include(CheckCXXSourceCompiles)

function(wrigglet_harden)
  if(WRIGGLET_SANITIZE)
    set(WRIGGLET_HARDENING "none (sanitizer build)" PARENT_SCOPE)
    return()
  endif()
  set(flags -fstack-protector-strong -fstack-clash-protection)
  if(CMAKE_SYSTEM_PROCESSOR MATCHES "^(x86_64|AMD64|amd64)$")
    list(APPEND flags -fcf-protection)
  endif()
  # -fPIE rather than CMake's POSITION_INDEPENDENT_CODE, which compiles the static libraries
  # with -fPIC and so keeps the compiler from inlining across their functions.
  list(APPEND flags -fPIE)
  add_compile_options(${flags})
  add_link_options($<$<STREQUAL:$<TARGET_PROPERTY:TYPE>,EXECUTABLE>:-pie> -Wl,-z,relro,-z,now)

  # _FORTIFY_SOURCE needs optimisation. A level the caller's flags or the compiler already set
  # is kept: defining it again would lower a distribution's level 3 and warn in every file.
  string(TOUPPER "${CMAKE_BUILD_TYPE}" config)
  set(caller "$ENV{CPPFLAGS} $ENV{CFLAGS} $ENV{CXXFLAGS} ${CMAKE_C_FLAGS} ${CMAKE_CXX_FLAGS}")
  string(APPEND caller " ${CMAKE_C_FLAGS_${config}} ${CMAKE_CXX_FLAGS_${config}}")
  set(CMAKE_REQUIRED_FLAGS -O2)
  set(CMAKE_REQUIRED_QUIET ON)
  check_cxx_source_compiles("#ifndef _FORTIFY_SOURCE\n#error\n#endif\nint main() {}" WRIGGLET_COMPILER_FORTIFIES)
  if(caller MATCHES "_FORTIFY_SOURCE")
    set(fortify "_FORTIFY_SOURCE as the caller's flags set it")
  elseif(WRIGGLET_COMPILER_FORTIFIES)
    set(fortify "_FORTIFY_SOURCE as the compiler sets it")
  else()
    add_compile_options($<$<NOT:$<CONFIG:Debug>>:-D_FORTIFY_SOURCE=2>)
    set(fortify "-D_FORTIFY_SOURCE=2 (not in Debug builds)")
  endif()
  list(JOIN flags " " flags)
  set(WRIGGLET_HARDENING "${flags} -pie -Wl,-z,relro,-z,now ${fortify}" PARENT_SCOPE)
endfunction()

wrigglet_harden()
