# kestrova_test_files(FILE...): the files a test folder's CMakeLists.txt names, checked against the
# folder. A named file that is missing, or a source or script in the folder that no list names (a
# test file misnamed or forgotten), stops the configure: no test is ever dropped in silence.
function(kestrova_test_files)
  foreach(file IN LISTS ARGN)
    if(NOT EXISTS ${CMAKE_CURRENT_SOURCE_DIR}/${file})
      message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}: the test file ${file} is named but missing")
    endif()
  endforeach()
  file(GLOB present RELATIVE ${CMAKE_CURRENT_SOURCE_DIR} CONFIGURE_DEPENDS
       ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h ${CMAKE_CURRENT_SOURCE_DIR}/*.sh)
  list(REMOVE_ITEM present ${ARGN})
  if(present)
    list(JOIN present ", " unnamed)
    message(FATAL_ERROR "${CMAKE_CURRENT_SOURCE_DIR}: ${unnamed} named by no test target")
  endif()
endfunction()

# kestrova_test_executable(TARGET FILE...): a test program made of all the files of its folder.
function(kestrova_test_executable target)
  kestrova_test_files(${ARGN})
  add_executable(${target} ${ARGN})
endfunction()
