# tsukio-cal snapshot as a shell runs it, with no display to draw on.
set(dir ${WORK}/snapshot)
file(REMOVE_RECURSE ${dir})
execute_process(COMMAND ${TOOL} snapshot 2011 5 --weeks usa --date 2011-05-10 --out ${dir}
                RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "tsukio-cal snapshot: exit ${rc}\n${out}${err}")
endif()
foreach(name calendar options about)
  if(NOT EXISTS ${dir}/${name}.png)
    message(FATAL_ERROR "tsukio-cal snapshot did not write ${name}.png:\n${out}${err}")
  endif()
endforeach()
file(REMOVE_RECURSE ${dir})
