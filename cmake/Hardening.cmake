# Hardening of the module where the toolchain supports it: stack protector,
# fortified libc calls, full RELRO, a stack that is not executable.
include(CheckCXXCompilerFlag)
include(CheckLinkerFlag)

add_library(vq_hardening INTERFACE)
add_library(vq_hardening_link INTERFACE)

check_cxx_compiler_flag(-fstack-protector-strong VQ_HAS_STACK_PROTECTOR)
if(VQ_HAS_STACK_PROTECTOR)
  target_compile_options(vq_hardening INTERFACE -fstack-protector-strong)
endif()

# _FORTIFY_SOURCE needs optimisation and clashes with the sanitizers.
if(NOT VQ_SANITIZERS)
  target_compile_options(vq_hardening INTERFACE $<$<NOT:$<CONFIG:Debug>>:-U_FORTIFY_SOURCE -D_FORTIFY_SOURCE=2>)
endif()

if(WIN32)
  # MinGW's stack protector lives in libssp; link it, and the C++ runtime,
  # statically so the DLL needs nothing beyond the system's own DLLs.
  if(VQ_HAS_STACK_PROTECTOR)
    target_link_options(vq_hardening_link INTERFACE -fstack-protector-strong)
  endif()
  target_link_options(vq_hardening_link INTERFACE -static)
else()
  foreach(flag -Wl,-z,relro -Wl,-z,now -Wl,-z,noexecstack)
    string(MAKE_C_IDENTIFIER "VQ_LINKER_HAS${flag}" var)
    check_linker_flag(CXX "${flag}" ${var})
    if(${var})
      target_link_options(vq_hardening_link INTERFACE ${flag})
    endif()
  endforeach()
endif()
