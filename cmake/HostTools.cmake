# The Windows builds run skinart and skinpack on this machine: they are built by the host
# compiler in a project of their own (cmake/host-tools) inside this build folder.
include(ExternalProject)
set(VELMORA_HOST_TOOLS_DIR ${CMAKE_BINARY_DIR}/host-tools)
set(VELMORA_HOST_SKINART ${VELMORA_HOST_TOOLS_DIR}/skinart/skinart)
set(VELMORA_HOST_SKINPACK ${VELMORA_HOST_TOOLS_DIR}/skinpack/skinpack)
ExternalProject_Add(velmora_host_tools
  SOURCE_DIR ${CMAKE_SOURCE_DIR}/cmake/host-tools
  BINARY_DIR ${VELMORA_HOST_TOOLS_DIR}
  CMAKE_ARGS -DCMAKE_BUILD_TYPE=RelWithDebInfo -Wno-dev
  BUILD_COMMAND ${CMAKE_COMMAND} --build . --target skinart skinpack
  INSTALL_COMMAND ""
  BUILD_ALWAYS ON
  BUILD_BYPRODUCTS ${VELMORA_HOST_SKINART} ${VELMORA_HOST_SKINPACK})
