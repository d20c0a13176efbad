# Installed on Windows, the installation folder is the program folder itself,
# portable, laid out as in the build tree:
#   varnel.exe, varnel-cli.exe, zlib/zlibtool.exe, zlib/temp/, doc/Readmy.txt
# and beside them the Qt libraries and plugins that windeployqt puts there.
# `cpack -G ZIP` (the default here) packs that folder into one archive.
# Where the folder cannot be written to (Program Files), the programs keep
# their working files in the user's data folder, as on Linux. No links into
# a bin/ folder, as on Linux: Windows starts programs from their folder.
install(TARGETS varnel varnel-cli RUNTIME DESTINATION .)
install(TARGETS zlibtool RUNTIME DESTINATION zlib)
install(DIRECTORY DESTINATION zlib/temp)
install(FILES doc/Readmy.txt LICENSE DESTINATION doc)

find_program(VARNEL_WINDEPLOYQT NAMES windeployqt windeployqt6 HINTS "${QT6_INSTALL_PREFIX}/${QT6_INSTALL_BINS}" REQUIRED)
# At install time, into wherever the folder is being made (CPack's staging
# folder included).
install(CODE "
  set(folder \"\$ENV{DESTDIR}\${CMAKE_INSTALL_PREFIX}\")
  execute_process(COMMAND \"${VARNEL_WINDEPLOYQT}\" --no-translations
                          \"\${folder}/varnel.exe\" \"\${folder}/varnel-cli.exe\"
                  COMMAND_ERROR_IS_FATAL ANY)
")

set(CPACK_GENERATOR ZIP)
set(CPACK_PACKAGE_NAME Varnel)
set(CPACK_PACKAGE_FILE_NAME "Varnel-${PROJECT_VERSION}-windows")
include(CPack)
