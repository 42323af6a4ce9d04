# Hardening as Debian builds its packages (dpkg-buildflags with hardening=+all): the stack
# protector, fortified C library calls, format-string checks, a read-only relocation table
# bound at start (full RELRO) and a position-independent executable. Given to every project
# target through pr_settings, so that the program and the libraries linked into it are built
# alike. Only for ELF systems with GCC or Clang, and not under sanitizers or the fuzzer, whose
# run-time libraries intercept the same calls.
option(PR_HARDEN "Build with the hardening flags of Debian's packages" ON)

# Whether the flags apply to this build (for the package test).
set(PR_HARDENED OFF)

if(PR_HARDEN AND CMAKE_SYSTEM_NAME MATCHES "Linux|BSD" AND CMAKE_CXX_COMPILER_ID MATCHES "GNU|Clang"
   AND NOT PR_SANITIZE AND NOT PR_FUZZ)
    target_compile_options(pr_settings INTERFACE
        -fstack-protector-strong -Wformat -Werror=format-security)
    # The fortified calls need the optimiser; a build without it would only be warned.
    target_compile_definitions(pr_settings INTERFACE
        $<$<CONFIG:Release,RelWithDebInfo,MinSizeRel>:_FORTIFY_SOURCE=2>)
    target_link_options(pr_settings INTERFACE LINKER:-z,relro LINKER:-z,now)
    include(CheckPIESupported)
    check_pie_supported(LANGUAGES CXX)
    set_property(TARGET pr_settings PROPERTY INTERFACE_POSITION_INDEPENDENT_CODE ON)
    set(PR_HARDENED ON)
endif()
