# The corpus of real-encoder files and FFmpeg's decode of each, made at
# build time (a few seconds of encoding, never committed).
set(VELMO_CORPUS_DIR ${CMAKE_BINARY_DIR}/corpus)
add_custom_command(
  OUTPUT ${VELMO_CORPUS_DIR}/made
  COMMAND ${CMAKE_COMMAND} -E rm -rf ${VELMO_CORPUS_DIR}
  COMMAND ${CMAKE_CURRENT_LIST_DIR}/../fixtures/make-corpus.sh ${VELMO_CORPUS_DIR}
  COMMAND ${CMAKE_COMMAND} -E touch ${VELMO_CORPUS_DIR}/made
  DEPENDS ${CMAKE_CURRENT_LIST_DIR}/../fixtures/make-corpus.sh ${CMAKE_CURRENT_LIST_DIR}/../fixtures/corpus-edit.py
  COMMENT "Encoding the audio corpus")
add_custom_target(audio_corpus DEPENDS ${VELMO_CORPUS_DIR}/made)
add_dependencies(test_audio audio_corpus)
target_compile_definitions(test_audio PRIVATE VELMO_CORPUS_DIR="${VELMO_CORPUS_DIR}")
