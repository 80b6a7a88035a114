# A file of the optics layer, compiled with exactly the include path its library gets, finds
# the headers of its own layer and of the layer below it, and does not find a header of a
# higher layer. Run with -DCXX=compiler -DLAYERS=build/layers -DWORK=a scratch folder.
set(flags -std=c++20 -fsyntax-only -I${LAYERS}/optics -I${LAYERS}/model)
file(MAKE_DIRECTORY ${WORK})

function(compile name header expect_success)
    file(WRITE ${WORK}/${name}.cpp "#include \"${header}\"\n")
    execute_process(COMMAND ${CXX} ${flags} ${WORK}/${name}.cpp
                    RESULT_VARIABLE result ERROR_VARIABLE errors)
    if(expect_success AND NOT result EQUAL 0)
        message(FATAL_ERROR "optics cannot include ${header}:\n${errors}")
    endif()
    if(NOT expect_success)
        if(result EQUAL 0)
            message(FATAL_ERROR "optics can include ${header} of a higher layer")
        endif()
        if(NOT errors MATCHES "${header}: No such file")
            message(FATAL_ERROR "including ${header} failed for another reason:\n${errors}")
        endif()
    endif()
endfunction()

compile(own_layer optics/crystal_model.h TRUE)
compile(layer_below model/controls.h TRUE)
compile(render_above render/tone_table.h FALSE)
compile(ui_above ui/main_window.h FALSE)
