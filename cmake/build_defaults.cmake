# What the main build and the Windows cross build (cmake/windows) share: the language
# level, the build type, one folder for every program, and warnings that fail the build.
set(CMAKE_CXX_STANDARD 17)
set(CMAKE_CXX_STANDARD_REQUIRED ON)
set(CMAKE_CXX_EXTENSIONS OFF)
if(NOT CMAKE_BUILD_TYPE)
  set(CMAKE_BUILD_TYPE RelWithDebInfo)
endif()

# Every executable lands in one folder: the program folder.
set(CMAKE_RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)

# The project's own code builds without warnings; a new warning fails the build.
option(ZEMBREL_WERROR "Treat warnings as errors" ON)
add_compile_options(-Wall -Wextra)
if(ZEMBREL_WERROR)
  add_compile_options(-Werror)
endif()
