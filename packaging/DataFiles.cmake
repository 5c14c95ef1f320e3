# Lists every file of the game folder the game reads (shader/ and assets/, relative to the
# folder) into OUTPUT, so the launcher can tell a complete data folder from a half-installed one.
# Usage: cmake -DGAME_FOLDER=<build folder> -DOUTPUT=<file> -P DataFiles.cmake
file(GLOB_RECURSE data_files RELATIVE ${GAME_FOLDER} ${GAME_FOLDER}/shader/* ${GAME_FOLDER}/assets/*)
list(FILTER data_files EXCLUDE REGEX "generated\\.stamp$")
list(SORT data_files)
list(JOIN data_files "\n" listing)
file(WRITE ${OUTPUT} "${listing}\n")
