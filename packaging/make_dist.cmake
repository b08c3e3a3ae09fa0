# Makes the distribution: the program files installed (stripped) into a
# staging folder, packed into archives with nubpack, and beside them the
# installer, the codec and Setup.inf in CP949.
#
#   cmake -DBUILD=<build dir> -DSOURCE=<packaging dir> -DNUBPACK=<nubpack>
#         -DPROGRAM_DIR=<program folder below the prefix> -DOUT=<dist folder>
#         -P make_dist.cmake
foreach(v BUILD SOURCE NUBPACK PROGRAM_DIR OUT)
  if(NOT DEFINED ${v})
    message(FATAL_ERROR "make_dist: ${v} is not set")
  endif()
endforeach()

set(_stage ${OUT}.stage)
file(REMOVE_RECURSE ${OUT} ${_stage})
file(MAKE_DIRECTORY ${OUT})

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE _rc OUTPUT_QUIET)
  if(NOT _rc EQUAL 0)
    message(FATAL_ERROR "make_dist: failed (${_rc}): ${ARGN}")
  endif()
endfunction()

foreach(c program installer)
  run(${CMAKE_COMMAND} --install ${BUILD} --prefix ${_stage} --component ${c} --strip)
endforeach()

# One archive per destination folder: members carry no folder of their own.
set(_prog ${_stage}/${PROGRAM_DIR})
file(GLOB _program LIST_DIRECTORIES false ${_prog}/*)
list(APPEND _program ${SOURCE}/kelvo-mime.xml ${SOURCE}/kelvo.svg)
file(GLOB _samples LIST_DIRECTORIES false ${_prog}/samples/*)
run(${NUBPACK} a ${OUT}/KELVO.NUB ${_program})
run(${NUBPACK} a ${OUT}/SAMPLES.NUB ${_samples})
# The Default format files the first start copies into the user's Form folder.
file(GLOB _forms LIST_DIRECTORIES false ${_prog}/Form/*)
run(${NUBPACK} a ${OUT}/FORM.NUB ${_forms})

set(_count 0)
set(_bytes 0)
foreach(f ${_program} ${_samples} ${_forms})
  file(SIZE ${f} _size)
  math(EXPR _bytes "${_bytes} + ${_size}")
  math(EXPR _count "${_count} + 1")
endforeach()
math(EXPR SPACE_KB "${_bytes} / 1024 + 1")
set(FILE_COUNT ${_count})

file(COPY ${_stage}/bin/xDeploy ${_stage}/bin/libxNubPack.so DESTINATION ${OUT})
configure_file(${SOURCE}/Setup.inf.in ${_stage}/Setup.inf.utf8 @ONLY)
run(iconv -f UTF-8 -t CP949 -o ${OUT}/Setup.inf ${_stage}/Setup.inf.utf8)
file(REMOVE_RECURSE ${_stage})
message(STATUS "make_dist: ${OUT} (${FILE_COUNT} files, ${SPACE_KB} KB)")
