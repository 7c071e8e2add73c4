# Warnings for the project's own targets.
function(plinka_warnings target)
    target_compile_options(${target} PRIVATE
        -Wall -Wextra -Wpedantic -Wshadow -Wnon-virtual-dtor -Wold-style-cast -Wcast-align
        -Woverloaded-virtual -Wformat=2 -Wimplicit-fallthrough
        -Wmissing-declarations)
    if(PLINKA_WERROR)
        target_compile_options(${target} PRIVATE -Werror)
    endif()
endfunction()

if(PLINKA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()
