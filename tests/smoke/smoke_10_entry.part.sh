# Types one complete contact with Enter between the fields and adds it with F4.
focus "$main"
# The grid has the focus at start; Tab reaches the call-sign field.
keys Tab
type_text "LU1ABC"; keys Return
type_text "Juan"; keys Return
type_text "Rosario"; keys Return
type_text "Santa Fe"; keys Return
type_text "Rosario"; keys Return
type_text "2000"; keys Return
type_text " "; keys Return          # a blank counts as filled
type_text "59"; keys Return
keys Return Return                  # date and time as stamped
type_text "7.050"; keys Return      # frequency, on to the mode
keys Return                         # mode, on to the route
keys Return                         # route BURO, on to the comment
type_text "primer contacto"
keys F4
sleep 0.3
