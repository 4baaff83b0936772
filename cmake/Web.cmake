# How the web build (emscripten) compiles and links, beyond the sources that
# every build shares.
#
# The runtime throws and catches C++ exceptions of its own; em++ otherwise
# compiles with -fignore-exceptions, where a throw aborts, so both compiling
# and linking ask for them. Every module carries its WebAssembly inside its
# script (SINGLE_FILE): the page's worker is made from text, and Node 20
# cannot read a .wasm file beside a script through emscripten's loader. No
# module links threads: the page gets no shared memory from a file:// page,
# so the library runs one search or one share of a count per worker.

add_compile_options(-fexceptions)
add_link_options(-fexceptions -sSINGLE_FILE=1 -sALLOW_MEMORY_GROWTH=1)

# A test ends its process with its own status, as CTest reads it.
set(ERILAISETRIVIT_WEB_TEST_LINK_OPTIONS -sEXIT_RUNTIME=1)
