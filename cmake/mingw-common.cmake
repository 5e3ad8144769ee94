# Shared part of the MinGW-w64 toolchain files. Takes the posix-thread
# variant of the compiler, whose C++ library has std::mutex (GoogleTest needs
# it); linked statically, it adds no DLL to the program.
foreach(lang C CXX)
  if(lang STREQUAL C)
    set(tool gcc)
  else()
    set(tool g++)
  endif()
  find_program(CMAKE_${lang}_COMPILER NAMES ${TOOLCHAIN_PREFIX}-${tool}-posix ${TOOLCHAIN_PREFIX}-${tool} REQUIRED)
endforeach()
find_program(CMAKE_RC_COMPILER NAMES ${TOOLCHAIN_PREFIX}-windres REQUIRED)
set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
