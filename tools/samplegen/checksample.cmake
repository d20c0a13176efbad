# The tracked sample must decompress, with the real zlibtool, to exactly the
# layout that samplegen makes.
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(COPY "${SAMPLE}" DESTINATION "${WORK}")
get_filename_component(title "${SAMPLE}" NAME)

execute_process(COMMAND "${ZLIBTOOL}" "${WORK}/${title}" -d RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "zlibtool could not decompress the sample (exit ${rc})")
endif()
execute_process(COMMAND "${SAMPLEGEN}" "${WORK}/expected.unzlib" --plain RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "samplegen failed (exit ${rc})")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/${title}.unzlib" "${WORK}/expected.unzlib"
                RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "samples/${title} differs from what samplegen makes: run the 'sample' target")
endif()

# And it goes back through the tool's compression unchanged in content.
execute_process(COMMAND "${ZLIBTOOL}" "${WORK}/expected.unzlib" RESULT_VARIABLE rc)
execute_process(COMMAND "${ZLIBTOOL}" "${WORK}/expected.unzlib.zlib" -d RESULT_VARIABLE rc2)
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files "${WORK}/expected.unzlib.zlib.unzlib" "${WORK}/expected.unzlib"
                RESULT_VARIABLE rc3)
if(NOT rc EQUAL 0 OR NOT rc2 EQUAL 0 OR NOT rc3 EQUAL 0)
  message(FATAL_ERROR "the sample does not round-trip through zlibtool")
endif()
