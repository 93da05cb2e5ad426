# tavik_layer_headers(TARGET FOLDER)
# Makes the headers of FOLDER (a path from the source root, such as
# viewer/render) visible to TARGET, and to whatever links it, as
# "FOLDER/name.h" — and no other header of the tree. Each library sees only
# its own folder and the folders of the libraries it links, so a header of a
# higher layer included from a lower one does not build.
#
# The include root is a folder of the build tree holding one symbolic link to
# the source folder.
function(tavik_layer_headers target folder)
  string(MAKE_C_IDENTIFIER "${folder}" id)
  set(root ${CMAKE_BINARY_DIR}/layers/${id})
  get_filename_component(parent ${root}/${folder} DIRECTORY)
  file(MAKE_DIRECTORY ${parent})
  if(NOT EXISTS ${root}/${folder})
    file(CREATE_LINK ${CMAKE_SOURCE_DIR}/${folder} ${root}/${folder} SYMBOLIC)
  endif()
  target_include_directories(${target} PUBLIC ${root})
endfunction()
