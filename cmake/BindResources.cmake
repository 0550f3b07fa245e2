# Binds resource files into a copy of a program as its appended archive, by
# running nekpack. Called as a build step:
#   cmake -DPACK_COMMAND=<nekpack command, "|"-separated> -DPROGRAM=<exe>
#         -DOUTPUT=<exe> -DFILES=<files, "|"-separated> [-DWINEPREFIX=<folder>]
#         -P BindResources.cmake
# Under Wine the packer runs in a prefix of its own, without a display, and
# writes into a log file rather than a pipe: Wine's background processes
# outlive the packer and would hold a pipe open.
string(REPLACE "|" ";" pack_command "${PACK_COMMAND}")
string(REPLACE "|" ";" files "${FILES}")
if(WINEPREFIX)
  set(ENV{WINEPREFIX} "${WINEPREFIX}")
  set(ENV{WINEDEBUG} "-all")
  set(ENV{WINEDLLOVERRIDES} "mscoree,mshtml=")
  unset(ENV{DISPLAY})
endif()
get_filename_component(output_folder "${OUTPUT}" DIRECTORY)
file(MAKE_DIRECTORY "${output_folder}")
set(log "${OUTPUT}.log")
execute_process(COMMAND ${pack_command} "${PROGRAM}" "${OUTPUT}" ${files}
                RESULT_VARIABLE result OUTPUT_FILE "${log}" ERROR_FILE "${log}")
if(NOT result EQUAL 0)
  file(READ "${log}" text)
  file(REMOVE "${OUTPUT}")
  message(FATAL_ERROR "nekpack failed (${result}):\n${text}")
endif()
file(REMOVE "${log}")
