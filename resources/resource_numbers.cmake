# Every numbered bitmap that an element names (icon frames and the window
# bitmaps of sprites and moving images included), and the two click clips.
set(VARDEX_BITMAPS)
set(VARDEX_WAVES 10 30)
