# Every numbered bitmap that an element names (icon frames and the window
# bitmaps of sprites and moving images included), and the two click clips.
set(VARDEX_BITMAPS
    40 50                                                # shut-down area, registration plate
    60 70 80 100 110 120 130 140 150 160                 # window and view buttons
    230 240 241                                          # units switch
    250 260 261 270 280                                  # directional gyro
    290 300 310 320 330                                  # airspeed
    340 350 351 360 361 370 380 381 390 400 410 420 430  # altimeter
    440 450 460 470 480                                  # turn indicator
    1000 1010 1011 1020 1030 1040 1050 1060 1070         # artificial horizon
    1080 1090                                            # gunsight
    1100 1110 1120 1130 1140                             # vertical speed
    1150 1160 1170 1180 1190 1200                        # tachometers, exhaust gas
    1210 1220 1230 1240 1250 1260 1270 1280 1290         # engine pressures
    1300 1310 1320 1330 1331 1340 1350 1351              # ADF receiver
    1360 1361 1362 1363 1370 1380
    1390 1400 1410 1420 1430 1440                        # fuel contents, flaps
    2000 2010 2020 2030 2040 2050 2060 2061              # clock
    2070 2080 2090 2100 2110 2120                        # ADF bearing indicator
    2170 2180 2181 2190 2191 2200 2210 2211 2220         # transponder
    2230 2240 2241 2250 2251 2260 2261 2270 2271 2280 2290  # COM radio
    2300 2310 2311 2320 2321 2330 2331 2340 2341 2350 2360 2370 2371  # NAV receiver
    3000 3010 3011                                       # NAV/GPS switch
    3050 3060 3070 3080                                  # landing indicator
)
set(VARDEX_WAVES 10 30)
