# One switch for the whole tree: mixing instrumented and plain objects gives false reports.
if(VELTRIN_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=all)
    add_link_options(-fsanitize=address,undefined)
endif()
