# The title, date, time and PiP elements on the preview: dragging, dropping
# and their settings.
orv_library(orv_tool_elements
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/elements.cpp
  LINKS orv_preview orv_templates)
