target_compile_definitions(test_lang PRIVATE
  VELMO_LANG_EXPECTED="${CMAKE_CURRENT_LIST_DIR}/expected/VelmoPlayer.lang")
