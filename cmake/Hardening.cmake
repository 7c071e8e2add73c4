# The hardening Debian builds its packages with, for the optimised builds that make the package:
# string and memory functions checked where the compiler can see the sizes (it needs the
# optimiser), and every relocation bound at start and then read-only.
add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
add_link_options($<$<NOT:$<CONFIG:Debug>>:LINKER:-z,relro,-z,now>)
