unit B; const S = 'open
1..2 