# The compile settings the project's targets share, in one place.
#   tessarine_warnings: the warning flags, for every target, tests included. An
#     ignored [[nodiscard]] result is an error: a code is used, or dropped with
#     (void) and a reason.
#   tessarine_settings: those, and no implicit QString from a const char* in the
#     program's own code (texts are QStringLiteral or QLatin1String). Tests keep
#     the implicit form for their short ASCII literals.
add_library(tessarine_warnings INTERFACE)
target_compile_options(tessarine_warnings INTERFACE -Wall -Wextra -Werror=unused-result)

add_library(tessarine_settings INTERFACE)
target_link_libraries(tessarine_settings INTERFACE tessarine_warnings)
target_compile_definitions(tessarine_settings INTERFACE QT_NO_CAST_FROM_ASCII)
