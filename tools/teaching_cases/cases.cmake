# The teaching cases that ship in simulations/: each file holds three runs of one disorder,
# mildest first, so the most severe result lands in row 1 (red) and the mildest in row 3.
# A run is the runner's options for it; the runs of a file are chained as START chains them.
# The newest run's settings become the track bars' when the file is opened, so they stay within
# the bars' ranges.

set(teaching_cases
  zwezenie_tchawicy
  astma_oskrzelowa
  rozedma_pluc
  wloknienie_pluc
  zwezenie_prawego_oskrzela
  slaby_wysilek
)

# Fixed central obstruction: turbulent resistance of the trachea caps the peak into a plateau.
set(zwezenie_tchawicy_runs
  "--set rCentral=400"
  "--set rCentral=600"
  "--set rCentral=800")

# Bronchial obstruction: the collapsible intermediate airways narrowed.
set(astma_oskrzelowa_runs
  "--set rIntermediate=300"
  "--set rIntermediate=500"
  "--set rIntermediate=800")

# Small airways narrowed and closing early, floppy intermediate airways, lungs with weak recoil.
set(rozedma_pluc_runs
  "--set rPeripheral=150 --set ccc=150 --set stiffness=150 --set cm=120"
  "--set rPeripheral=200 --set ccc=200 --set stiffness=200 --set cm=135"
  "--set rPeripheral=300 --set ccc=250 --set stiffness=300 --set cm=150")

# Small, stiff lungs.
set(wloknienie_pluc_runs
  "--set lungSize=85 --set cm=90"
  "--set lungSize=65 --set cm=75"
  "--set lungSize=55 --set cm=65")

# The right main bronchus narrowed (the setting of the right lung only); the left lung empties
# as before.
set(zwezenie_prawego_oskrzela_runs
  "--set right.rCentral=700"
  "--set right.rCentral=1300"
  "--set right.rCentral=2000")

# Healthy lungs, a weaker and slower blow.
set(slaby_wysilek_runs
  "--global 0=75 --global 1=60"
  "--global 0=50 --global 1=35"
  "--global 0=30 --global 1=20")
