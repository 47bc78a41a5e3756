# The real-sound test: a small player drives the library through a private
# PulseAudio daemon with a null sink; the script records and checks it.
add_executable(audio_realsound_player ${CMAKE_CURRENT_LIST_DIR}/realsound/RealSoundPlayer.cpp)
target_link_libraries(audio_realsound_player PRIVATE velmo_audio)
add_dependencies(test_audio audio_realsound_player)
add_test(NAME audio_real_sound
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/realsound/real-sound-test.sh $<TARGET_FILE:audio_realsound_player>)
set_tests_properties(audio_real_sound PROPERTIES TIMEOUT 120 RUN_SERIAL TRUE)

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
