# System DLLs that Velodane.exe loads on first call instead of at start
# (mingw-w64's delay-load helper, __delayLoadHelper2): an import library of
# delay-load stubs is made with dlltool for each, listing the functions the
# program calls, each with its arguments' size in bytes (the stdcall
# decoration of 32-bit Windows).
#
#   velodane_delay_load(<target> <dll> <function>:<bytes>...)
#
# makes the INTERFACE library <target>, to be linked in place of the DLL's
# own import library. A function called but not listed is imported the usual
# way, from the toolchain's default libraries; the shipped program's test
# checks which DLLs it imports at start.
function(velodane_delay_load target dll)
  set(def "LIBRARY ${dll}\nEXPORTS\n")
  foreach(entry IN LISTS ARGN)
    string(REPLACE ":" ";" parts "${entry}")
    list(GET parts 0 name)
    list(GET parts 1 bytes)
    if(CMAKE_SIZEOF_VOID_P EQUAL 4)
      string(APPEND def "${name}@${bytes}\n")
    else()
      string(APPEND def "${name}\n")
    endif()
  endforeach()
  set(dir ${CMAKE_BINARY_DIR}/delay-load)
  file(MAKE_DIRECTORY ${dir})
  file(CONFIGURE OUTPUT ${dir}/${target}.def CONTENT "${def}")
  set(flags "")
  if(CMAKE_SIZEOF_VOID_P EQUAL 4)
    set(flags --kill-at) # imported by the undecorated names the DLL exports
  endif()
  add_custom_command(OUTPUT ${dir}/lib${target}.a
    COMMAND ${CMAKE_DLLTOOL} --input-def ${dir}/${target}.def --dllname ${dll} ${flags}
            --output-delaylib ${dir}/lib${target}.a
    DEPENDS ${dir}/${target}.def
    VERBATIM)
  add_custom_target(${target}_stubs DEPENDS ${dir}/lib${target}.a)
  add_library(${target} INTERFACE)
  target_link_libraries(${target} INTERFACE ${dir}/lib${target}.a)
  add_dependencies(${target} ${target}_stubs)
endfunction()
