# The alignment commands of the record-line menu and dragging the guides.
orv_library(orv_designer_align
  SOURCES ${CMAKE_CURRENT_LIST_DIR}/align.cpp ${CMAKE_CURRENT_LIST_DIR}/guides.cpp
  LINKS orv_designer_lines orv_templates orv_preview orv_platform)
