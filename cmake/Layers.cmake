# velmo_layer(<folder> [DEPENDS <folder>...] [QT <component>...] [EXCLUDE <file>...])
#
# Makes src/<folder> the static library velmo_<folder>, linked to the
# libraries of the folders it DEPENDS on and to the Qt components it uses.
# Its include root build/layers/<folder>/ links to src/<folder> and to every
# folder below it (the DEPENDS, followed down), and to nothing else.

set(VELMO_LAYER_ROOT ${CMAKE_BINARY_DIR}/layers)

function(velmo_layer folder)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "" "DEPENDS;QT;EXCLUDE")
  file(GLOB sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/src/${folder}/*.cpp
       ${PROJECT_SOURCE_DIR}/src/${folder}/*.h)
  foreach(excluded IN LISTS arg_EXCLUDE)
    list(REMOVE_ITEM sources ${PROJECT_SOURCE_DIR}/src/${folder}/${excluded})
  endforeach()
  add_library(velmo_${folder} STATIC ${sources})

  # The folders this one may see: itself and everything below it.
  set(visible ${folder})
  foreach(dep IN LISTS arg_DEPENDS)
    if(NOT TARGET velmo_${dep})
      message(FATAL_ERROR "src/${folder} uses src/${dep}, which is not below it")
    endif()
    get_property(below GLOBAL PROPERTY VELMO_LAYER_VISIBLE_${dep})
    list(APPEND visible ${below})
    target_link_libraries(velmo_${folder} PUBLIC velmo_${dep})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  set_property(GLOBAL PROPERTY VELMO_LAYER_VISIBLE_${folder} ${visible})
  foreach(component IN LISTS arg_QT)
    target_link_libraries(velmo_${folder} PUBLIC Qt6::${component})
  endforeach()
  velmo_use_layers(velmo_${folder} ${folder})
endfunction()

# velmo_use_layers(<target> <folder>...): lets target (a program, a test)
# include the headers of the given folders and of the folders below them.
function(velmo_use_layers target)
  set(visible)
  foreach(folder IN LISTS ARGN)
    get_property(below GLOBAL PROPERTY VELMO_LAYER_VISIBLE_${folder})
    list(APPEND visible ${below})
  endforeach()
  list(REMOVE_DUPLICATES visible)
  list(SORT visible)
  string(REPLACE ";" "_" key "${visible}")
  set(root ${VELMO_LAYER_ROOT}/${key})
  foreach(folder IN LISTS visible)
    file(MAKE_DIRECTORY ${root})
    file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${folder} ${root}/${folder} SYMBOLIC)
  endforeach()
  target_include_directories(${target} PRIVATE ${root})
endfunction()
