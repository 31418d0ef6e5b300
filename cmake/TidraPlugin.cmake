# SPDX-License-Identifier: GPL-3.0-or-later
# One digit-skin plug-in per folder: every .cpp and .h in `dir`, built as a
# loadable module named after the folder into `output_dir`. Sets
# TIDRA_PLUGIN_TARGET in the caller to the target's name.
function(tidra_add_plugin dir output_dir)
  get_filename_component(name ${dir} NAME)
  file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp ${dir}/*.h)
  add_library(plugin_${name} MODULE ${sources})
  target_include_directories(plugin_${name} PRIVATE ${CMAKE_SOURCE_DIR} ${CMAKE_SOURCE_DIR}/skins/common)
  target_link_libraries(plugin_${name} PRIVATE Qt6::Core Qt6::Gui)
  set_target_properties(plugin_${name} PROPERTIES
    LIBRARY_OUTPUT_DIRECTORY ${output_dir}
    OUTPUT_NAME ${name}
    PREFIX ""
    # Plug-ins share class and function names; only Qt's entry points are
    # exported, so one plug-in never binds to another's.
    CXX_VISIBILITY_PRESET hidden
    VISIBILITY_INLINES_HIDDEN ON)
  set(TIDRA_PLUGIN_TARGET plugin_${name} PARENT_SCOPE)
endfunction()
