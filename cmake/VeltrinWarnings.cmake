# Warnings are errors on our own code; link this PRIVATE into every target of ours.
add_library(veltrin_warnings INTERFACE)
add_library(veltrin::warnings ALIAS veltrin_warnings)
target_compile_options(veltrin_warnings INTERFACE
    $<$<CXX_COMPILER_ID:GNU,Clang,AppleClang>:-Wall -Wextra -Werror>
    $<$<CXX_COMPILER_ID:MSVC>:/W4 /WX>)
