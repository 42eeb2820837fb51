# Build settings shared by every target: link pellumar_settings and nothing else is needed.
add_library(pellumar_settings INTERFACE)
target_compile_features(pellumar_settings INTERFACE cxx_std_20)
set(CMAKE_CXX_EXTENSIONS OFF)
target_compile_options(pellumar_settings INTERFACE -Wall -Wextra -Wpedantic -Wno-missing-field-initializers)
target_compile_definitions(pellumar_settings INTERFACE
    QT_NO_NARROWING_CONVERSIONS_IN_CONNECT
    QT_NO_URL_CAST_FROM_STRING
    QT_NO_FOREACH
    QT_DISABLE_DEPRECATED_BEFORE=0x060000
    PELLUMAR_VERSION="${PROJECT_VERSION}")

# The program's own code also keeps every text explicit about its encoding; tests may write
# plain string literals.
add_library(pellumar_strict INTERFACE)
target_compile_definitions(pellumar_strict INTERFACE QT_NO_CAST_FROM_ASCII QT_NO_CAST_TO_ASCII)
target_include_directories(pellumar_settings INTERFACE ${PROJECT_SOURCE_DIR}/src)

if(PELLUMAR_SANITIZE)
    target_compile_options(pellumar_settings INTERFACE
        -fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    target_link_options(pellumar_settings INTERFACE -fsanitize=address,undefined)
endif()

if(NOT CMAKE_BUILD_TYPE AND NOT CMAKE_CONFIGURATION_TYPES)
    set(CMAKE_BUILD_TYPE RelWithDebInfo CACHE STRING "Build type" FORCE)
endif()
