# The selection frame: a label's place stored as fractions of the preview,
# the four edge strips that resize the selected label and the knob that
# moves it.
orv_library(orv_designer_frame
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/frame.cpp
  LINKS orv_designer_lines orv_templates orv_preview)
