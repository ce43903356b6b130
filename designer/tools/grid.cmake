# The design grid and the preview page's pop-up menu.
orv_library(orv_tool_grid
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/grid.cpp
  LINKS orv_preview)
