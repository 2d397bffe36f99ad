# The text catalogues of texts/ (one per language, named by its three-letter abbreviation:
# Enu.txt, Fra.txt ...) are compiled by our own tool, texts/build_texts:
# - the English one into vx_base, as the texts the program shows when no language file can;
# - the list of the text numbers the sources use into vx_shell, for `velantrix texts check`;
# - each one into the language file Xxx/VelantrixXxx.sdb, put beside every program that calls
#   vx_add_language_files(TARGET) and installed beside it.
add_executable(vx_build_texts ${PROJECT_SOURCE_DIR}/texts/build_texts.cpp)
target_link_libraries(vx_build_texts PRIVATE SQLite::SQLite3)

set(VX_GENERATED_DIR ${CMAKE_BINARY_DIR}/generated)
set(VX_BUILTIN_TEXTS ${VX_GENERATED_DIR}/builtin_texts.cpp)
add_custom_command(OUTPUT ${VX_BUILTIN_TEXTS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VX_GENERATED_DIR}
  COMMAND vx_build_texts cpp ${PROJECT_SOURCE_DIR}/texts/Enu.txt ${VX_BUILTIN_TEXTS}
  DEPENDS vx_build_texts ${PROJECT_SOURCE_DIR}/texts/Enu.txt
  COMMENT "Building the English texts into the program")
target_sources(vx_base PRIVATE ${VX_BUILTIN_TEXTS})

# Run again whenever a source changes; its output changes only when the numbers used do.
set(VX_USED_TEXTS ${VX_GENERATED_DIR}/used_texts.cpp)
file(GLOB_RECURSE vx_code CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/*.cpp ${PROJECT_SOURCE_DIR}/src/*.h
     ${PROJECT_SOURCE_DIR}/apps/*.cpp ${PROJECT_SOURCE_DIR}/apps/*.h)
add_custom_command(OUTPUT ${VX_USED_TEXTS}
  COMMAND ${CMAKE_COMMAND} -E make_directory ${VX_GENERATED_DIR}
  COMMAND vx_build_texts used ${PROJECT_SOURCE_DIR}/src/base/messages.h ${VX_USED_TEXTS}
          ${PROJECT_SOURCE_DIR}/src ${PROJECT_SOURCE_DIR}/apps
  DEPENDS vx_build_texts ${vx_code}
  COMMENT "Listing the text numbers the code uses")
target_sources(vx_shell PRIVATE ${VX_USED_TEXTS})

set(VX_LANGUAGE_DIR ${CMAKE_BINARY_DIR}/languages)
file(GLOB vx_catalogues CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/texts/*.txt)
set(vx_language_files)
foreach(catalogue ${vx_catalogues})
  get_filename_component(abbreviation ${catalogue} NAME_WE)
  set(file ${VX_LANGUAGE_DIR}/${abbreviation}/Velantrix${abbreviation}.sdb)
  add_custom_command(OUTPUT ${file}
    COMMAND ${CMAKE_COMMAND} -E make_directory ${VX_LANGUAGE_DIR}/${abbreviation}
    COMMAND vx_build_texts sdb ${catalogue} ${file}
    DEPENDS vx_build_texts ${catalogue}
    COMMENT "Building the language file ${abbreviation}")
  list(APPEND vx_language_files ${file})
endforeach()
add_custom_target(vx_language_files ALL DEPENDS ${vx_language_files})

# Puts the language files beside target's program in the build tree and in the installation.
# The copy runs at every build (two small files), so a changed catalogue reaches the program
# even when the program itself is not relinked.
function(vx_add_language_files target)
  add_custom_target(${target}_languages ALL
    COMMAND ${CMAKE_COMMAND} -E copy_directory ${VX_LANGUAGE_DIR} $<TARGET_FILE_DIR:${target}>)
  add_dependencies(${target}_languages vx_language_files)
  install(TARGETS ${target} RUNTIME DESTINATION bin)
  install(DIRECTORY ${VX_LANGUAGE_DIR}/ DESTINATION bin)
endfunction()
