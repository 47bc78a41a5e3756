# The real-sound test: a small player drives the library through a private
# PulseAudio daemon with a null sink; the script records and checks it.
add_executable(audio_realsound_player ${CMAKE_CURRENT_LIST_DIR}/realsound/RealSoundPlayer.cpp)
target_link_libraries(audio_realsound_player PRIVATE velmo_audio)
velmo_use_layers(audio_realsound_player audio)
add_dependencies(test_audio audio_realsound_player)
add_test(NAME audio_real_sound
         COMMAND ${CMAKE_CURRENT_LIST_DIR}/realsound/real-sound-test.sh $<TARGET_FILE:audio_realsound_player>)
set_tests_properties(audio_real_sound PROPERTIES TIMEOUT 180 RUN_SERIAL TRUE SKIP_RETURN_CODE 77)

include(${CMAKE_CURRENT_LIST_DIR}/corpus.cmake)
