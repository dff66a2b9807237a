# The layers' include roots. Each library compiles against a folder that
# holds links to its own layer and the layers below it, and nothing else: a
# domain file that includes an application, GUI or command line header, an
# application file that includes a GUI or command line header, and a command
# line file that includes a GUI header (or the reverse) do not compile.
set(TESS_LAYER_ROOTS ${CMAKE_BINARY_DIR}/layers)

# tess_layer_root(NAME LAYER...): a folder NAME with a link to src/LAYER for
# each LAYER; its path in TESS_LAYER_ROOT_<NAME>.
function(tess_layer_root name)
  set(root ${TESS_LAYER_ROOTS}/${name})
  file(MAKE_DIRECTORY ${root})
  foreach(layer ${ARGN})
    if(NOT EXISTS ${root}/${layer})
      file(CREATE_LINK ${PROJECT_SOURCE_DIR}/src/${layer} ${root}/${layer} SYMBOLIC)
    endif()
  endforeach()
  set(TESS_LAYER_ROOT_${name} ${root} PARENT_SCOPE)
endfunction()

tess_layer_root(domain domain)
tess_layer_root(app domain app)
tess_layer_root(gui domain app gui)
tess_layer_root(cli domain app cli)
