# Builds Winelib programs: wineg++ compiles and links, wrc compiles resources.
set(CMAKE_C_COMPILER winegcc)
set(CMAKE_CXX_COMPILER wineg++)
set(CMAKE_RC_COMPILER wrc)
set(CMAKE_RC_COMPILE_OBJECT "<CMAKE_RC_COMPILER> <DEFINES> <INCLUDES> <FLAGS> -o <OBJECT> <SOURCE>")
# winegcc writes x.exe (a launcher script) and x.exe.so.
set(CMAKE_EXECUTABLE_SUFFIX_C ".exe")
set(CMAKE_EXECUTABLE_SUFFIX_CXX ".exe")
set(CMAKE_C_CREATE_WIN32_EXE "-mwindows")
set(CMAKE_CXX_CREATE_WIN32_EXE "-mwindows")
set(CMAKE_C_CREATE_CONSOLE_EXE "-mconsole")
set(CMAKE_CXX_CREATE_CONSOLE_EXE "-mconsole")
# Debian's native libraries are found as for a normal 64-bit Linux build.
set(CMAKE_LIBRARY_ARCHITECTURE x86_64-linux-gnu)
set(CMAKE_SIZEOF_VOID_P 8)
