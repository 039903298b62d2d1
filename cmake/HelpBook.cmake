# The panel's help book, laid out as Apple Help expects and shared by the
# Qt and AppKit bundles:
#
#   ZarvikPDE.help/Contents/Info.plist                 the book's information dictionary
#   ZarvikPDE.help/Contents/Resources/<lang>.lproj/    index.html (with the AppleTitle anchor)
#
# The bundle's Info.plist names the folder (CFBundleHelpBookFolder) and the
# book's identifier (CFBundleHelpBookName).
set(ZARVIK_PDE_HELP_FOLDER ZarvikPDE.help)
set(ZARVIK_PDE_HELP_BOOK org.zarvikpde.print.pde.ZarvikPDE.help)

# Appends to `out_files` the rules that put the book into `resources_dir`
# (a bundle's Contents/Resources).
function(zarvik_add_help_book resources_dir out_files)
  set(source ${PROJECT_SOURCE_DIR}/resources/help)
  set(book ${resources_dir}/${ZARVIK_PDE_HELP_FOLDER})
  set(files ${${out_files}})
  configure_file(${source}/${ZARVIK_PDE_HELP_FOLDER}/Contents/Info.plist.in ${book}/Contents/Info.plist @ONLY)
  file(GLOB_RECURSE pages CONFIGURE_DEPENDS RELATIVE ${source} ${source}/*.html)
  foreach(page IN LISTS pages)
    add_custom_command(
      OUTPUT ${resources_dir}/${page}
      COMMAND ${CMAKE_COMMAND} -E copy ${source}/${page} ${resources_dir}/${page}
      DEPENDS ${source}/${page})
    list(APPEND files ${resources_dir}/${page})
  endforeach()
  # Help Viewer finds anchors and search terms through each language's
  # index, which only Apple's tool writes.
  find_program(HIUTIL hiutil)
  if(HIUTIL)
    foreach(language de en)
      set(folder ${book}/Contents/Resources/${language}.lproj)
      add_custom_command(
        OUTPUT ${folder}/ZarvikPDE.helpindex
        COMMAND ${HIUTIL} -Caf ${folder}/ZarvikPDE.helpindex ${folder}
        DEPENDS ${folder}/index.html
        COMMENT "Indexing the ${language} help book")
      list(APPEND files ${folder}/ZarvikPDE.helpindex)
    endforeach()
  endif()
  set(${out_files} ${files} PARENT_SCOPE)
endfunction()
