# The release build of Setup.exe. Every Windows tree builds the program this
# way, so the e2e tests and the demo run what is shipped; scripts/release.sh
# builds both architectures, checks them and reports their sizes.
#
# Size: the code is optimised for size with every function and data object in
# a section of its own, the program's code is optimised once more as a whole
# at the link (LTO), and the link drops the sections nothing reaches. The
# Windows linker keeps every unwind table (.eh_frame, .pdata) and with it the
# code it describes, so what decides most of the size is which library
# objects get linked at all: Setup.map beside the program lists them and why
# each was pulled in. The program is stripped; its resources (icon,
# manifest, version information) stay.
#
# Included before the targets: -Os follows the build type's -O and wins, for
# every Windows program of the tree (the unit tests run the code that ships).
add_compile_options(-Os -ffunction-sections -fdata-sections)

# A library of the program's code: its objects carry the compiler's
# intermediate code for the program's link-time optimisation beside their
# machine code, which the other programs of the tree (tests, tools,
# benchmarks) link as usual. Their links leave the linker plugin out: with
# it, the Windows linker reads the intermediate code too and reports the
# library's inline functions as defined twice.
function(orvane_release_library target)
  target_compile_options(${target} PRIVATE -flto -ffat-lto-objects)
  target_link_options(${target} INTERFACE
    $<$<NOT:$<BOOL:$<TARGET_PROPERTY:ORVANE_LINK_TIME_OPTIMISED>>>:-fno-use-linker-plugin>)
endfunction()

function(orvane_release_program target)
  # Replaces the C++ library's terminate handler (see SetupTerminate.cpp);
  # it must be an object of the link itself to be taken before the library's.
  target_sources(${target} PRIVATE ${CMAKE_SOURCE_DIR}/SetupTerminate.cpp)
  target_compile_options(${target} PRIVATE -flto)
  set_property(TARGET ${target} PROPERTY ORVANE_LINK_TIME_OPTIMISED ON)
  # --tsaware: on a terminal server, a program without this mark gets a
  # per-user Windows folder from GetWindowsDirectory and has its INI and
  # registry writes remapped; the self-removal's admin-only folder below the
  # Windows folder must be the machine's.
  target_link_options(${target} PRIVATE -Os -flto -flto-partition=one -Wl,--gc-sections -s
    -Wl,--tsaware -Wl,-Map=$<TARGET_FILE_DIR:${target}>/${target}.map)
endfunction()
