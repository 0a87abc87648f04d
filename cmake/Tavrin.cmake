# Shared build rules.

if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
  # Narrow literals are GBK in the binary, as the program's text is.
  add_compile_options(-finput-charset=UTF-8 -fexec-charset=GBK)
endif()
add_compile_options(-Wall -Wextra)
if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU" AND CMAKE_CXX_COMPILER_VERSION VERSION_LESS 13)
  # g++ 12 reports impossible overlaps inside libstdc++'s string copies at -O2
  # (a known false positive of that release).
  add_compile_options(-Wno-restrict)
endif()

set(TAVRIN_SANITIZE "" CACHE STRING "Sanitizers: address,undefined | thread | empty")
if(TAVRIN_SANITIZE)
  add_compile_options(-fsanitize=${TAVRIN_SANITIZE} -fno-omit-frame-pointer)
  add_link_options(-fsanitize=${TAVRIN_SANITIZE})
  if(TAVRIN_SANITIZE MATCHES "undefined")
    add_compile_options(-fno-sanitize-recover=undefined)
  endif()
endif()

# tavrin_library(NAME name DIRS dir... [DEPS target...])
# A static library of every .cpp below the given folders (relative to the
# calling CMakeLists); headers are included as "folder/file.h" from the root.
function(tavrin_library)
  cmake_parse_arguments(ARG "" "NAME" "DIRS;DEPS" ${ARGN})
  set(sources)
  foreach(dir IN LISTS ARG_DIRS)
    file(GLOB_RECURSE found CONFIGURE_DEPENDS
         ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.c)
    list(APPEND sources ${found})
  endforeach()
  if(sources)
    add_library(${ARG_NAME} STATIC ${sources})
    target_include_directories(${ARG_NAME} PUBLIC ${CMAKE_SOURCE_DIR})
    target_link_libraries(${ARG_NAME} PUBLIC ${ARG_DEPS})
  else()
    add_library(${ARG_NAME} INTERFACE)
    target_include_directories(${ARG_NAME} INTERFACE ${CMAKE_SOURCE_DIR})
    target_link_libraries(${ARG_NAME} INTERFACE ${ARG_DEPS})
  endif()
endfunction()
